// The survey of a folder of plug-ins: every module of every vis*.dll run once by this
// player in a process of its own, the results in a table and a contact sheet.
#pragma once

#include "tools/player/player_options.h"
#include "tools/player/player_session.h"

#include <string>

constexpr double kSurveySecondsByDefault = 4.0;

// Runs the survey the options ask for; 0 when its table and picture were written.
int run_survey(const PlayerOptions& options);

// What a child process of the survey writes at the end of its run: the facts, and the
// plug-in's last picture beside them. False when a file could not be written.
bool write_run_facts(const SessionReport& report, const std::string& facts_path);

// What a child process of the survey writes for --list-modules.
bool write_module_listing(const std::string& dll_path, const std::string& listing_path);
