// A control with title, font, text colour and a shared skin image strip.
#include "TavikUI/MControlFont.h"

#include "TavikUI/MRender.h"
#include "TavikUI/Manager.h"
#include "TavikUI/PaintManager.h"

#include <algorithm>

namespace TavikUI {

MControlFont::MControlFont(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                           int enabled, int responsive)
    : MControl(parent, id, rect, visible, enabled, responsive), m_title(title ? title : L""),
      m_fontName(Manager::GetFontName()), m_fontSize(Manager::GetFontWidth()) {}

void MControlFont::SetTextFont(const std::wstring& name) {
    m_fontName = name;
    ClearGDIFont();
}

void MControlFont::SetTextColor(uint32_t argb) { m_textColor = argb; }

int MControlFont::SetImage(const std::wstring& name, int count) { return SetImage(name.c_str(), count); }

int MControlFont::SetImage(const wchar_t* name, int count) {
    if (!m_manager || !name)
        return 0;
    ImgResInfo* info = m_manager->AddImgResInfo(name, count);
    if (!info)
        return 0;
    m_imagePath = name;
    m_imageCount = count > 0 ? count : 1;
    m_image = info->image;
    m_frameWidth = info->frame_width;
    m_frameHeight = info->height;
    if (m_visible)
        UpdateControl(1, 0);
    return 1;
}

void MControlFont::SetTitle(const wchar_t* title) {
    ClearGDIFont();
    SetControlTitle(title);
    if (m_visible)
        UpdateControl(1, 0);
}

void MControlFont::SetAlignment(unsigned h) { SetAlignment(h, m_vAlign); }

void MControlFont::SetVAlignment(unsigned v) { SetAlignment(m_hAlign, v); }

void MControlFont::SetAlignment(unsigned h, unsigned v) {
    if (h == m_hAlign && v == m_vAlign)
        return;
    m_hAlign = h;
    m_vAlign = v;
    if (m_visible)
        UpdateControl(1, 0);
}

void MControlFont::SetFont(const wchar_t* name, int size, int style) {
    if (name && *name)
        m_fontName = name;
    if (size > 0)
        m_fontSize = size;
    m_fontStyle = style;
    ClearGDIFont();
}

std::wstring MControlFont::GetFontFamily(const wchar_t*) {
    return m_manager ? m_manager->FindTempFont(nullptr) : Manager::GetFontName();
}

TextFont MControlFont::GetGDIFont() {
    if (!m_fontResolved) {
        m_font = TextFont{GetFontFamily(), m_fontSize, m_fontStyle};
        m_fontResolved = true;
    }
    return m_font;
}

bool MControlFont::DrawImageFrameIndex(cairo_t* cr, CRect dst, int index) {
    if (!m_image || m_frameWidth <= 0)
        return false;
    int frames = m_frameWidth > 0 ? cairo_image_surface_get_width(m_image) / m_frameWidth : 1;
    index = std::clamp(index, 0, std::max(frames, 1) - 1);
    MRender::DrawImage(cr, m_image, dst, index * m_frameWidth, 0, m_frameWidth, m_frameHeight);
    return true;
}

} // namespace TavikUI
