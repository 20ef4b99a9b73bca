// A control with a title, a font, a text colour and a skin image strip.
#pragma once

#include "TavikUI/ImgResInfo.h"
#include "TavikUI/MControl.h"
#include "TavikUI/TextFont.h"

#include <cstdint>
#include <string>

namespace TavikUI {

class MControlFont : public MControl {
public:
    MControlFont(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled,
                 int responsive);

    virtual void SetTextFont(const std::wstring& name);
    virtual void SetTextColor(uint32_t argb);
    // Takes `name` (with `count` frames) from the window's image cache; 0 when unattached or missing.
    virtual int SetImage(const std::wstring& name, int count);
    virtual int SetImage(const wchar_t* name, int count);
    virtual void SetControlTitle(const wchar_t* title) { m_title = title ? title : L""; }
    virtual std::wstring GetControlTitle() { return m_title; }

    void SetTitle(const wchar_t* title);
    std::wstring GetTitle() { return GetControlTitle(); }
    void SetAlignment(unsigned h);
    void SetVAlignment(unsigned v);
    void SetAlignment(unsigned h, unsigned v);
    void GetAlignment(unsigned& h, unsigned& v) const { h = m_hAlign; v = m_vAlign; }
    // Stores the font; takes effect at the next repaint.
    void SetFont(const wchar_t* name, int size, int style);
    void SetTextRenderingHint(int hint) { m_renderingHint = hint; }
    int GetTextRenderingHint() const { return m_renderingHint; }
    uint32_t GetTextColor() const { return m_textColor; }
    void SetImageCount(int count) { m_imageCount = count > 0 ? count : 1; }
    int GetImageCount() const { return m_imageCount; }
    CSize GetImageSize() const { return {m_frameWidth, m_frameHeight}; }
    const std::wstring& GetImagePath() const { return m_imagePath; }
    cairo_surface_t* GetImage() const { return m_image; }
    int GetFontWidth() const { return m_fontSize; }
    void SetFontWidth(int size) { m_fontSize = size; }
    int GetFontStyle() const { return m_fontStyle; }
    void SetFontStyle(int style) { m_fontStyle = style; }
    const std::wstring& GetFontName() const { return m_fontName; }
    // The family every control draws with: the window's cached global family (the argument is not used).
    std::wstring GetFontFamily(const wchar_t* name = nullptr);
    // The font of this control's text as the renderer takes it.
    TextFont GetGDIFont();
    void ClearGDIFont() { m_fontResolved = false; }

protected:
    // Paints frame `index` of the skin strip into `dst`, stretched; false without image.
    bool DrawImageFrameIndex(cairo_t* cr, CRect dst, int index);

    std::wstring m_title;
    std::wstring m_fontName;
    std::wstring m_imagePath;
    int m_fontSize;
    uint32_t m_textColor = 0xFFFFFFFF;
    int m_fontStyle = FontStyleRegular;
    unsigned m_hAlign = 0;
    unsigned m_vAlign = 4;
    int m_renderingHint = 5;
    bool m_fontResolved = false;
    TextFont m_font;
    cairo_surface_t* m_image = nullptr; // belongs to the window's image cache
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_imageCount = 4;
};

} // namespace TavikUI
