// Folders as whole trees: a user's saved settings copied into a run's settings folder
// (--settings-from), and a survey run's settings folder removed so the next starts empty.
#pragma once

#include <string>

// Copies every file and folder inside `from` into `to` (which exists), replacing files of
// the same name and keeping the others. Returns an empty text, or what could not be done.
std::string copy_folder_contents(const std::string& from, const std::string& to);

// Removes the folder with everything in it, as far as the system lets it.
void remove_folder(const std::string& path);
