// Image list: owns its pictures; every access takes the list's lock.
#include "TavikUI/MImageList.h"

#include "TavikUI/MRender.h"
#include "TavikUI/Manager.h"

#include <algorithm>

namespace TavikUI {

bool MImageList::AddImage(const std::wstring& name, unsigned id, int count) { return InsertImage(-1, name, id, count); }

bool MImageList::InsertImage(int index, const std::wstring& name, unsigned id, int count) {
    cairo_surface_t* image = MRender::LoadImageFromFile(Manager::GetSkinFolder() + name);
    if (!image)
        return false;
    count = std::max(count, 1);
    Item item{image, cairo_image_surface_get_width(image) / count, cairo_image_surface_get_height(image), id, count,
              name};
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        m_items.push_back(item);
    else
        m_items.insert(m_items.begin() + index, item);
    return true;
}

const MImageList::Item* MImageList::At(int index) const {
    return index >= 0 && index < static_cast<int>(m_items.size()) ? &m_items[index] : nullptr;
}

void MImageList::DrawItemIcon(cairo_t* cr, CRect rect, int index) { DrawItemIcon(cr, rect, index, 0); }

void MImageList::DrawItemIcon(cairo_t* cr, CRect rect, int index, int state) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Item* item = At(index);
    if (!item || item->frame_width <= 0)
        return;
    int frame = std::clamp(state, 0, item->count - 1);
    CSize size = (m_drawSize.cx > 0 && m_drawSize.cy > 0) ? m_drawSize : CSize(item->frame_width, item->height);
    CPoint o = MRender::GetOriginPoint(rect, size, 1, 4);
    MRender::DrawImage(cr, item->image, CRect(o.x, o.y, o.x + size.cx, o.y + size.cy), frame * item->frame_width, 0,
                       item->frame_width, item->height);
}

CSize MImageList::GetIconSize(int index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Item* item = At(index);
    return item ? CSize(item->frame_width, item->height) : CSize();
}

const MImageList::Item* MImageList::GetItemImageData(int index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return At(index);
}

const MImageList::Item* MImageList::GetImageDataByID(unsigned id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Item& item : m_items)
        if (item.id == id)
            return &item;
    return nullptr;
}

std::wstring MImageList::GetImagePath(int index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Item* item = At(index);
    return item ? item->path : std::wstring();
}

std::wstring MImageList::GetImagePathByID(unsigned id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Item& item : m_items)
        if (item.id == id)
            return item.path;
    return {};
}

int MImageList::GetImageCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_items.size());
}

void MImageList::DelAllImages() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Item& item : m_items)
        cairo_surface_destroy(item.image);
    m_items.clear();
}

} // namespace TavikUI
