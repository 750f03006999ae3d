#include "gl_painter.h"

#include "drawing_rules.h"

#include <windows.h>

#include <GL/gl.h>

namespace {

void set_colour(COLORREF colour)
{
    glColor3ub(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

void fill(const PixelRect& rect)
{
    if (rect.right > rect.left && rect.bottom > rect.top)
        glRecti(rect.left, rect.top, rect.right, rect.bottom);
}

}  // namespace

void paint_spectrum_gl(const VisSettings& settings, const uint8_t* levels, const int* peaks,
                       int bar_count, int width, int height)
{
    // Window coordinates, y downwards, so the rectangles are the GDI module's to the pixel:
    // a rectangle covers the pixels whose centres lie inside it.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    const COLORREF background = settings.background_colour;
    glClearColor(GetRValue(background) / 255.0f, GetGValue(background) / 255.0f,
                 GetBValue(background) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    for (int bar = 0; bar < bar_count; ++bar) {
        set_colour(settings.bar_colour);
        fill(bar_rect(bar, bar_count, levels[bar], width, height));
        if (peaks[bar] <= 0)
            continue;
        PixelRect peak = bar_rect(bar, bar_count, peaks[bar], width, height);
        peak.bottom = peak.top + kPeakThickness;
        set_colour(settings.peak_colour);
        fill(peak);
    }
}
