#include "d3d_painter.h"

#include "drawing_rules.h"

#include <iterator>
#include <vector>

namespace {

// A vertex already in window coordinates, with its colour: no transform, no lighting.
struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
};
constexpr DWORD kScreenVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

D3DCOLOR d3d_colour(COLORREF colour)
{
    return D3DCOLOR_XRGB(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// Two triangles covering the rectangle's pixels. Direct3D 9 puts pixel centres on whole
// coordinates, so the edges go half a pixel up and left to cover what GDI would.
void add_quad(const PixelRect& rect, D3DCOLOR colour, std::vector<ScreenVertex>* vertices)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    const float left = rect.left - 0.5f;
    const float top = rect.top - 0.5f;
    const float right = rect.right - 0.5f;
    const float bottom = rect.bottom - 0.5f;
    const ScreenVertex corners[] = {{left, top, 0, 1, colour},     {right, top, 0, 1, colour},
                                    {left, bottom, 0, 1, colour},  {right, top, 0, 1, colour},
                                    {right, bottom, 0, 1, colour}, {left, bottom, 0, 1, colour}};
    vertices->insert(vertices->end(), std::begin(corners), std::end(corners));
}

// The diffuse colour as it is: no texture, no depth test, both windings drawn.
void set_flat_colour_states(IDirect3DDevice9* device)
{
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetTexture(0, nullptr);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    device->SetFVF(kScreenVertexFormat);
}

}  // namespace

void paint_spectrum_d3d(IDirect3DDevice9* device, const VisSettings& settings,
                        const uint8_t* levels, const int* peaks, int bar_count, int width,
                        int height)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET, d3d_colour(settings.background_colour), 1.0f, 0);
    std::vector<ScreenVertex> vertices;
    for (int bar = 0; bar < bar_count; ++bar) {
        add_quad(bar_rect(bar, bar_count, levels[bar], width, height),
                 d3d_colour(settings.bar_colour), &vertices);
        if (peaks[bar] <= 0)
            continue;
        PixelRect peak = bar_rect(bar, bar_count, peaks[bar], width, height);
        peak.bottom = peak.top + kPeakThickness;
        add_quad(peak, d3d_colour(settings.peak_colour), &vertices);
    }
    if (vertices.empty())
        return;
    set_flat_colour_states(device);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(vertices.size() / 3),
                            vertices.data(), sizeof(ScreenVertex));
}
