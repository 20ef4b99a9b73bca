// A small list of skin images with their frame sizes, drawn by index and state.
#pragma once

#include "TavikUI/Geometry.h"

#include <cairo.h>
#include <mutex>
#include <string>
#include <vector>

namespace TavikUI {

class MImageList {
public:
    struct Item {
        cairo_surface_t* image = nullptr; // owned by the list
        int frame_width = 0;
        int height = 0;
        unsigned id = 0;
        int count = 1;
        std::wstring path;
    };

    MImageList() = default;
    ~MImageList() { DelAllImages(); }
    MImageList(const MImageList&) = delete;
    MImageList& operator=(const MImageList&) = delete;

    // Loads `name` from the skin folder and appends it; false when the file cannot be read.
    bool AddImage(const std::wstring& name, unsigned id, int count);
    // Inserts before `index`; -1 (or any index past the end) appends.
    bool InsertImage(int index, const std::wstring& name, unsigned id, int count);
    // Draws frame 0, or frame `state` limited to the image's last frame, scaled into `rect`.
    void DrawItemIcon(cairo_t* cr, CRect rect, int index);
    void DrawItemIcon(cairo_t* cr, CRect rect, int index, int state);
    // Size images are drawn at when non-zero (otherwise their own frame size, centred in the rect).
    void SetDrawImgSize(CSize size) { m_drawSize = size; }
    CSize GetIconSize(int index);
    const Item* GetItemImageData(int index);
    const Item* GetImageDataByID(unsigned id);
    std::wstring GetImagePath(int index);
    std::wstring GetImagePathByID(unsigned id);
    int GetImageCount();
    void DelAllImages();

private:
    const Item* At(int index) const;

    std::mutex m_mutex;
    std::vector<Item> m_items;
    CSize m_drawSize;
};

} // namespace TavikUI
