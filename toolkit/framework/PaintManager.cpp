// Input routing, repaint requests, double-buffered painting, control timers and the caches of one window.
#include "TavikUI/PaintManager.h"

#include "TavikUI/ControlFactory.h"
#include "TavikUI/MRender.h"
#include "TavikUI/MWindow.h"
#include "TavikUI/Manager.h"

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

namespace TavikUI {

namespace {

constexpr CPoint kOutside{-1, -1};

} // namespace

PaintManager::PaintManager(MObject* owner) : m_owner(owner) {}

PaintManager::~PaintManager() {
    DestroyData();
    ClearAllControls();
    ClearTimers();
    ClearImgResInfo();
    if (m_bkImage)
        cairo_surface_destroy(m_bkImage);
    if (m_surface)
        cairo_surface_destroy(m_surface);
}

void PaintManager::Init(WindowHandle hwnd, MWindow* window) {
    if (!hwnd)
        return;
    m_hwnd = hwnd;
    m_window = window;
    std::wstring font_file = Manager::GetModuleFolder() + L"font/Arial.ttf";
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(font_file), ec))
        AddTempFont(L"Arial", font_file.c_str());
    m_initialised = true;
    m_scrollResV = 102;
    m_scrollResH = 101;
}

CRect PaintManager::GetClientRect() const { return m_window ? m_window->GetClientRect() : CRect(); }

long PaintManager::OnWindowMessage(unsigned msg, unsigned wparam, long lparam) {
    for (size_t i = 0; i < m_controls.size(); ++i)
        if (m_controls[i]->OnWindowMessage(msg, wparam, lparam))
            return 0;
    const CPoint pt(GetXLParam(lparam), GetYLParam(lparam));
    switch (msg) {
    case WM_PAINT:
        if (m_window) {
            CRect rect = m_window->TakeUpdateRegion();
            if (!m_window->IsIconic() && !rect.IsRectEmpty())
                Paint(rect);
            m_window->NotePainted();
        }
        return 1;
    case WM_TIMER:
        OnTimerMessage(wparam);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(wparam, pt);
        return 1;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        OnButtonDown(wparam, pt, msg == WM_LBUTTONDOWN);
        return 1;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        OnButtonUp(wparam, pt, msg == WM_LBUTTONUP);
        return 1;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        OnDblClk(wparam, pt, msg == WM_LBUTTONDBLCLK);
        return 1;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wparam, lparam);
        return 1;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        OnKeyDown(wparam);
        return 1;
    case WM_NCACTIVATE:
        if (!wparam)
            OnDeactivate();
        Invalidate();
        return 0;
    case WM_SHOWWINDOW:
        WakeMTimer();
        return 0;
    case WM_NCDESTROY:
        DestroyData();
        return 1;
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_CHAR:
    case WM_MOUSEHOVER:
    case WM_GETMINMAXINFO:
        return 1;
    default:
        return 0;
    }
}

int PaintManager::PreTranslateMessage(MSG* msg) {
    if (!msg || msg->hwnd != m_hwnd)
        return 0;
    if ((msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) || msg->wParam != VK_TAB)
        return 0;
    if (Manager::IsKeyDown(VK_CONTROL) || Manager::IsKeyDown(VK_MENU))
        return 0;
    MControl* next = Manager::IsKeyDown(VK_SHIFT) ? GetPrevFocusableControl() : GetNextFocusableControl();
    if (!next || next == m_focus)
        return 0;
    SetFocusControl(next);
    return 1;
}

unsigned PaintManager::ModifierWord() const {
    unsigned mods = 0;
    if (Manager::IsKeyDown(VK_SHIFT))
        mods = 16;
    if (Manager::IsKeyDown(VK_MENU))
        mods = 18;
    if (Manager::IsKeyDown(VK_CONTROL))
        mods |= 17;
    return mods;
}

void PaintManager::OnMouseMove(unsigned flags, CPoint pt) {
    m_tracking = true;
    if (m_hover && m_hover->PtInRect(pt) && m_hover->OnCheckMouseResponse(flags, pt)) {
        m_hover->OnMouseMove(flags, pt);
        return;
    }
    ClearTooltip();
    if (m_buttonPressed) {
        // The window holds the capture for the pressed control, so it keeps seeing the pointer.
        if (m_hover)
            m_hover->OnMouseMove(flags, pt);
        return;
    }
    MControl* hover = nullptr;
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* c = m_controls[i].get();
        c->OnMouseMove(flags, pt);
        if (i < m_controls.size() && m_controls[i].get() == c && c->PtInRect(pt) && c->GetRresponse())
            hover = c;
    }
    m_hover = hover;
}

void PaintManager::OnButtonDown(unsigned flags, CPoint pt, bool left) {
    (left ? m_dblClkLeft : m_dblClkRight) = false;
    // A press without a preceding move (a synthetic click) still has to find its control.
    if (!m_hover || !m_hover->PtInRect(pt))
        OnMouseMove(flags & ~(MK_LBUTTON | MK_RBUTTON), pt);
    if (m_focus && m_focus != m_hover)
        SetFocusControl(nullptr);
    MControl* hover = m_hover;
    if (hover && hover->IsVisible() && hover->GetRresponse() && hover->PtInRect(pt) &&
        hover->OnCheckMouseResponse(flags, pt)) {
        m_buttonPressed = true;
        SetFocusControl(hover);
        if (left)
            hover->OnLButtonDown(flags, pt);
        else
            hover->OnRButtonDown(flags, pt);
        if (!m_captured && m_hover == hover && hover->OnCheckMouseResponse(flags, pt))
            SetCapture(true);
        return;
    }
    if (left && m_wndDrag && m_window) {
        SetCapture(false);
        m_window->SendMessageW(WM_NCLBUTTONDOWN, HTCAPTION, MakeLParam(pt.x, pt.y));
    }
}

void PaintManager::OnButtonUp(unsigned flags, CPoint pt, bool left) {
    SetCapture(false);
    m_buttonPressed = false;
    MControl* hover = m_hover;
    if (!hover)
        return;
    if (!hover->IsVisible() || !hover->GetRresponse()) {
        m_hover = nullptr;
        return;
    }
    CRect before = hover->GetRect();
    if (left)
        hover->OnLButtonUp(flags, pt);
    else
        hover->OnRButtonUp(flags, pt);
    if (m_hover == hover && !before.PtInRect(pt))
        m_hover = nullptr;
}

void PaintManager::OnDblClk(unsigned flags, CPoint pt, bool left) {
    (left ? m_dblClkLeft : m_dblClkRight) = true;
    if (!m_hover || !m_hover->PtInRect(pt))
        OnMouseMove(flags & ~(MK_LBUTTON | MK_RBUTTON), pt);
    MControl* hover = m_hover;
    if (!hover)
        return;
    if (!hover->IsVisible() || !hover->GetRresponse()) {
        m_hover = nullptr;
        return;
    }
    m_buttonPressed = true;
    CRect before = hover->GetRect();
    if (left)
        hover->OnLButtonDblClk(flags, pt);
    else
        hover->OnRButtonDblClk(flags, pt);
    if (m_hover == hover && !before.PtInRect(pt))
        m_hover = nullptr;
}

void PaintManager::OnMouseWheel(unsigned wparam, long lparam) {
    CPoint pt(GetXLParam(lparam), GetYLParam(lparam));
    if (m_window)
        pt = m_window->ScreenToClient(pt);
    int delta = GetWheelDelta(wparam);
    unsigned direction = delta <= 0 ? 1 : 0;
    for (int n = std::abs(delta / 120); n > 0; --n) {
        if (m_hover && m_hover->OnScroll(1, direction, pt))
            continue;
        for (size_t i = 0; i < m_controls.size(); ++i)
            if (m_controls[i]->OnScroll(1, direction, pt))
                break;
    }
}

void PaintManager::OnMouseLeave() {
    ClearTooltip();
    m_tracking = false;
    if (m_buttonPressed)
        return;
    if (MControl* hover = m_hover) {
        m_hover = nullptr;
        hover->OnMouseMove(0, kOutside);
    }
}

void PaintManager::OnDeactivate() {
    m_tracking = false;
    SetCapture(false);
    m_dblClkLeft = m_dblClkRight = false;
    if (MControl* hover = m_hover) {
        m_hover = nullptr;
        if (m_buttonPressed)
            hover->OnLButtonUp(0, kOutside);
        else
            hover->OnMouseMove(0, kOutside);
    }
    m_buttonPressed = false;
    Manager::ResetKeyState();
}

void PaintManager::OnKeyDown(unsigned key) {
    unsigned mods = ModifierWord();
    if (m_hover && m_hover->OnKeyDown(key, 1, mods))
        return;
    for (size_t i = 0; i < m_controls.size(); ++i)
        if (m_controls[i]->OnKeyDown(key, 1, mods))
            return;
}

void PaintManager::SetCapture(bool on) {
    if (m_captured == on)
        return;
    m_captured = on;
    if (Backend* b = Manager::GetBackend(); b && m_hwnd)
        b->SetCapture(m_hwnd, on);
}

long PaintManager::OnControlUpdate(CRect rect, int dirty, MControl* control) {
    if (dirty && control)
        control->SetUpdate(0, m_backColor);
    if (m_initialised && control) {
        bool after = false;
        for (auto* list : {&m_areas, &m_controls}) {
            for (auto& c : *list) {
                if (c.get() == control) {
                    after = true;
                    continue;
                }
                if (after && c->IsVisible() && c->GetRect().Intersects(rect)) {
                    c->SetUpdate(0, m_backColor);
                    rect = rect.Union(c->GetRect());
                }
            }
        }
    }
    InvalidateRect(rect, 0);
    return 0;
}

void PaintManager::Invalidate() {
    if (m_window)
        m_window->InvalidateRect(GetClientRect(), 0);
}

void PaintManager::InvalidateRect(CRect rect, int erase) {
    if (!m_window)
        return;
    m_window->InvalidateRect(m_layered ? GetClientRect() : rect, erase);
}

void PaintManager::EnsureSurface() {
    CRect client = GetClientRect();
    int w = std::max(client.Width(), 1);
    int h = std::max(client.Height(), 1);
    if (m_surface && cairo_image_surface_get_width(m_surface) == w && cairo_image_surface_get_height(m_surface) == h)
        return;
    if (m_surface)
        cairo_surface_destroy(m_surface);
    m_surface = MRender::CreateARGB32Bitmap(w, h);
}

void PaintManager::Paint(CRect rect) {
    CRect client = GetClientRect();
    bool fresh = !m_surface || cairo_image_surface_get_width(m_surface) != std::max(client.Width(), 1) ||
                 cairo_image_surface_get_height(m_surface) != std::max(client.Height(), 1);
    EnsureSurface();
    // A new buffer holds nothing yet, so all of it is painted.
    CRect paint = (m_layered || fresh) ? client : rect.Intersect(client);
    if (paint.IsRectEmpty())
        return;
    cairo_t* cr = cairo_create(m_surface);
    cairo_rectangle(cr, paint.left, paint.top, paint.Width(), paint.Height());
    cairo_clip(cr);
    DrawBackground(cr);
    for (size_t i = 0; i < m_areas.size(); ++i)
        m_areas[i]->Draw(cr, paint);
    for (size_t i = 0; i < m_controls.size(); ++i)
        m_controls[i]->Draw(cr, paint);
    if (m_overlayAlpha > 10 && !m_overlayText.empty())
        DrawOverlay(cr);
    if (!m_tooltipText.empty() && m_tooltipBox.Intersects(paint))
        DrawTooltip(cr);
    cairo_destroy(cr);
    cairo_surface_flush(m_surface);
    ++m_paints;
    m_lastPaint = paint;
    if (Backend* b = Manager::GetBackend(); b && m_hwnd)
        b->Present(m_hwnd, cairo_image_surface_get_data(m_surface), cairo_image_surface_get_stride(m_surface),
                   cairo_image_surface_get_width(m_surface), cairo_image_surface_get_height(m_surface), paint);
}

void PaintManager::DrawBackground(cairo_t* cr) {
    CRect client = GetClientRect();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    if (m_bkImage) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        int w = cairo_image_surface_get_width(m_bkImage);
        int h = cairo_image_surface_get_height(m_bkImage);
        if (m_backMode == 1)
            MRender::DrawImageFrame(cr, m_bkImage, client, 0, 0, w, h, m_corner);
        else
            MRender::DrawImage(cr, m_bkImage, CRect(0, 0, w, h), 0, 0, w, h);
    } else {
        MRender::SetSourceCOLORREF(cr, m_frameColor, 254);
        cairo_paint(cr);
        CRect inner = client;
        inner.DeflateRect(1, 1);
        MRender::SetSourceCOLORREF(cr, m_backColor, 254);
        cairo_rectangle(cr, inner.left, inner.top, inner.Width(), inner.Height());
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void PaintManager::DrawOverlay(cairo_t* cr) {
    const uint32_t a = static_cast<uint32_t>(std::clamp(m_overlayAlpha, 0, 255)) << 24;
    CRect r = m_overlayRect;
    MRender::DrawColor(cr, r, a | 0xE6E6E6);
    CRect inner = r;
    inner.DeflateRect(2, 2);
    MRender::DrawColor(cr, inner, a | 0xFEFEFE);
    TextFont font{FindTempFont(nullptr), 12, FontStyleRegular};
    const bool progress = m_targetProgress > 0 || m_shownProgress > 0;
    if (!progress) {
        MRender::DrawString(cr, m_overlayText, CRect(r.left + 5, r.top + 5, r.left + 195, r.top + 55), font,
                            a | 0x050505, 0, 4, true);
        return;
    }
    MRender::DrawString(cr, m_overlayText, CRect(r.left + 5, r.top + 5, r.right - 5, r.top + 35), font,
                        a | 0x050505, 1, 4, false);
    cairo_save(cr);
    MRender::SetSourceARGB(cr, 0xC8C8C8C8);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, r.left + 10, r.bottom - 15 + 0.5);
    cairo_line_to(cr, r.right - 20, r.bottom - 15 + 0.5);
    cairo_stroke(cr);
    cairo_restore(cr);
    int width = m_shownProgress * (r.Width() - 20) / 100;
    MRender::DrawColor(cr, CRect(r.left + 10, r.bottom - 16, r.left + 10 + width, r.bottom - 13), 0xFEFFE100);
}

void PaintManager::SetBackColor(uint32_t background, uint32_t frame) {
    m_backColor = background;
    m_frameColor = frame;
}

int PaintManager::LoadBKImage(const std::wstring& name) {
    if (m_bkImage) {
        cairo_surface_destroy(m_bkImage);
        m_bkImage = nullptr;
    }
    m_bkImage = MRender::LoadImageFromFile(Manager::GetSkinFolder() + name);
    Invalidate();
    return m_bkImage ? 1 : 0;
}

MControl* PaintManager::Attach(std::unique_ptr<MControl> control, int kind) {
    if (!control)
        return nullptr;
    MControl* raw = control.get();
    raw->SetManager(this);
    raw->InitControl(this);
    (kind == 0 ? m_areas : m_controls).push_back(std::move(control));
    return raw;
}

MControl* PaintManager::CreateControl(const wchar_t* class_name, unsigned id, CRect rect, const wchar_t* title,
                                      int visible, int enabled) {
    return Attach(
        ControlFactory::Create(CreateLevel::Window, m_owner, class_name, id, rect, title, visible, enabled), 1);
}

MControl* PaintManager::CreateArea(const wchar_t* class_name, unsigned id, CRect rect, const wchar_t* title,
                                   int visible, int enabled) {
    return Attach(
        ControlFactory::Create(CreateLevel::Window, m_owner, class_name, id, rect, title, visible, enabled), 0);
}

MControl* PaintManager::AddControl(std::unique_ptr<MControl> control, int kind) {
    return Attach(std::move(control), kind);
}

MControl* PaintManager::GetControl(unsigned id) {
    for (auto* list : {&m_controls, &m_areas}) {
        for (auto& c : *list) {
            if (c->GetControlID() == id)
                return c.get();
            if (MControl* found = c->GetControl(id))
                return found;
        }
    }
    return nullptr;
}

int PaintManager::RemoveControl(MControl* control) {
    for (auto* list : {&m_controls, &m_areas}) {
        for (auto it = list->begin(); it != list->end(); ++it) {
            if (it->get() != control)
                continue;
            if (m_focus == control)
                SetFocusControl(nullptr);
            std::unique_ptr<MControl> doomed = std::move(*it);
            list->erase(it);
            return 0;
        }
    }
    return 0;
}

void PaintManager::ClearAllControls() {
    ClearAreaControls();
    ClearControls();
}

void PaintManager::ClearAreaControls() {
    ControlList doomed;
    doomed.swap(m_areas);
    doomed.clear();
}

void PaintManager::ClearControls() {
    m_hover = nullptr;
    m_focus = nullptr;
    ControlList doomed;
    doomed.swap(m_controls);
    doomed.clear();
}

void PaintManager::ForgetControl(MControl* control) {
    if (m_hover == control)
        m_hover = nullptr;
    if (m_focus == control)
        m_focus = nullptr;
    m_animated.erase(std::remove(m_animated.begin(), m_animated.end(), control), m_animated.end());
    KillTimer(control);
}

ImgResInfo* PaintManager::AddImgResInfo(const wchar_t* name, int count) {
    if (!name || !*name)
        return nullptr;
    if (auto it = m_images.find(name); it != m_images.end())
        return &it->second;
    cairo_surface_t* image = MRender::LoadImageFromFile(Manager::GetSkinFolder() + name);
    if (!image)
        return nullptr;
    count = std::max(count, 1);
    ImgResInfo info{image, cairo_image_surface_get_width(image) / count, cairo_image_surface_get_height(image), count};
    return &m_images.emplace(name, info).first->second;
}

ImgResInfo* PaintManager::AddImgResInfo(unsigned id, const std::wstring& type, int count, int own_module) {
    auto& cache = own_module ? m_ownResources : m_appResources;
    if (auto it = cache.find(id); it != cache.end())
        return &it->second;
    std::wstring path;
    if (own_module) {
        // The toolkit's own pictures ship in the skin folder under fixed names.
        const wchar_t* name = id == 102 ? L"tavik_scroll_v.png" : id == 101 ? L"tavik_scroll_h.png" : nullptr;
        path = name ? Manager::GetSkinFolder() + name : Manager::GetSkinFolder() + L"res_" + std::to_wstring(id) + L".png";
    } else {
        std::wstring ext = type;
        std::transform(ext.begin(), ext.end(), ext.begin(), ::towlower);
        path = Manager::GetModuleFolder() + L"res/" + std::to_wstring(id) + L"." + (ext.empty() ? L"png" : ext);
    }
    cairo_surface_t* image = MRender::LoadImageFromFile(path);
    if (!image)
        return nullptr;
    count = std::max(count, 1);
    ImgResInfo info{image, cairo_image_surface_get_width(image) / count, cairo_image_surface_get_height(image), count};
    return &cache.emplace(id, info).first->second;
}

void PaintManager::ClearImgResInfo() {
    for (auto* cache : {&m_appResources, &m_ownResources})
        for (auto& [id, info] : *cache)
            cairo_surface_destroy(info.image);
    for (auto& [name, info] : m_images)
        cairo_surface_destroy(info.image);
    m_images.clear();
    m_appResources.clear();
    m_ownResources.clear();
}

int PaintManager::SetTimer(MControl* control, unsigned key, unsigned ms) {
    for (auto& e : m_timers) {
        if (e.control != control || e.key != key)
            continue;
        if (!e.killed)
            return 0;
        if (!Manager::SetTimer(m_hwnd, e.timer_id, ms))
            return 0;
        e.killed = false;
        return 1;
    }
    unsigned id = (m_lastTimerId + 1) % 240;
    if (!Manager::SetTimer(m_hwnd, id, ms))
        return 0;
    m_lastTimerId = id;
    m_timers.push_back({key, id, false, control});
    return 1;
}

int PaintManager::KillTimer(MControl* control, unsigned key) {
    for (auto& e : m_timers) {
        if (e.control == control && e.key == key) {
            Manager::KillTimer(m_hwnd, e.timer_id);
            e.killed = true;
            return 1;
        }
    }
    return 0;
}

void PaintManager::KillTimer(MControl* control) {
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (it->control == control) {
            Manager::KillTimer(m_hwnd, it->timer_id);
            it = m_timers.erase(it);
        } else {
            ++it;
        }
    }
}

void PaintManager::ClearTimers() {
    for (auto& e : m_timers)
        Manager::KillTimer(m_hwnd, e.timer_id);
    m_timers.clear();
}

unsigned PaintManager::GetControlTimerId(MControl* control, unsigned key) const {
    for (auto& e : m_timers)
        if (e.control == control && e.key == key)
            return e.timer_id;
    return 0;
}

void PaintManager::OnTimerMessage(unsigned id) {
    switch (id) {
    case kTimerMessageShow:
        Manager::KillTimer(m_hwnd, kTimerMessageShow);
        Manager::SetTimer(m_hwnd, kTimerMessageFade, 50);
        return;
    case kTimerMessageFade:
        m_overlayAlpha -= 10;
        if (m_overlayAlpha < 20) {
            m_overlayAlpha = 0;
            m_shownProgress = m_targetProgress = 0;
            Manager::KillTimer(m_hwnd, kTimerMessageFade);
        }
        InvalidateRect(m_overlayRect, 0);
        return;
    case kTimerProgress:
        m_shownProgress += 2;
        if (m_shownProgress >= m_targetProgress) {
            m_shownProgress = m_targetProgress;
            Manager::KillTimer(m_hwnd, kTimerProgress);
            if (m_shownProgress >= 100)
                Manager::SetTimer(m_hwnd, kTimerMessageFade, 50);
        }
        InvalidateRect(m_overlayRect, 0);
        return;
    default:
        break;
    }
    std::vector<MControl*> due;
    for (auto& e : m_timers)
        if (e.timer_id == id && !e.killed)
            due.push_back(e.control);
    for (MControl* c : due) {
        bool alive = std::any_of(m_timers.begin(), m_timers.end(), [&](const ControlTimer& e) { return e.control == c; });
        if (alive)
            c->OnTimer();
    }
}

void PaintManager::AddMTimer(MControl* control) {
    if (std::find(m_animated.begin(), m_animated.end(), control) == m_animated.end())
        m_animated.push_back(control);
    WakeMTimer();
}

void PaintManager::DeleteQuenTimer(MControl* control) {
    m_animated.erase(std::remove(m_animated.begin(), m_animated.end(), control), m_animated.end());
}

bool PaintManager::AnyAnimationWanted() {
    if (!m_window || !m_window->IsWindowVisible() || m_window->IsIconic())
        return false;
    return std::any_of(m_animated.begin(), m_animated.end(), [](MControl* c) {
        return c->IsRunTimer() && c->IsVisible() && c->IsParentVisible();
    });
}

unsigned PaintManager::SetAnimationTimer(unsigned period_ms) {
    if (m_animationId)
        KillMTimer(m_animationId);
    m_animationId = SetMTimer(period_ms);
    if (!AnyAnimationWanted())
        SuspendMTimer(m_animationId);
    return m_animationId;
}

void PaintManager::OnMTimer(unsigned id) {
    if (id != m_animationId)
        return;
    bool any = false;
    if (AnyAnimationWanted()) {
        std::vector<MControl*> list = m_animated;
        for (MControl* c : list) {
            if (std::find(m_animated.begin(), m_animated.end(), c) == m_animated.end())
                continue;
            if (c->IsRunTimer() && c->IsVisible() && c->IsParentVisible()) {
                c->OnTimer();
                any = true;
            }
        }
    }
    // Nothing to animate: the timer sleeps until a control or the window wakes it.
    if (!any)
        SuspendMTimer(id);
}

void PaintManager::WakeMTimer() {
    if (m_animationId && !IsMTimerArmed(m_animationId) && AnyAnimationWanted())
        ResumeMTimer(m_animationId);
}

bool PaintManager::IsAnimationArmed() const { return m_animationId && IsMTimerArmed(m_animationId); }

void PaintManager::SetFocusControl(MControl* control) {
    if (control == m_focus)
        return;
    MControl* old = m_focus;
    m_focus = control;
    if (old)
        old->SetControlFocus(0);
    if (control)
        control->SetControlFocus(1);
}

MControl* PaintManager::GetNextFocusableControl() {
    auto ok = [](const MControl* c) { return c->IsVisible() && c->IsEnabled() && c->IsTabStop(); };
    size_t n = m_controls.size();
    size_t start = 0;
    for (size_t i = 0; i < n; ++i)
        if (m_controls[i].get() == m_focus)
            start = i + 1;
    for (size_t i = start; i < n; ++i)
        if (ok(m_controls[i].get()))
            return m_controls[i].get();
    for (size_t i = 0; i < n; ++i)
        if (ok(m_controls[i].get()))
            return m_controls[i].get();
    return nullptr;
}

MControl* PaintManager::GetPrevFocusableControl() {
    auto ok = [](const MControl* c) { return c->IsVisible() && c->IsEnabled() && c->IsTabStop(); };
    size_t n = m_controls.size();
    size_t end = n; // exclusive upper bound of the backwards search
    for (size_t i = 0; i < n; ++i)
        if (m_controls[i].get() == m_focus)
            end = i;
    for (size_t i = end; i-- > 0;)
        if (ok(m_controls[i].get()))
            return m_controls[i].get();
    for (size_t i = n; i-- > 0;)
        if (ok(m_controls[i].get()))
            return m_controls[i].get();
    return nullptr;
}

void PaintManager::SetTooltip(const std::wstring& text, CRect rect) {
    if (text.empty()) {
        ClearTooltip();
        return;
    }
    m_tooltipText = text;
    m_tooltipRect = rect;
    ++m_tooltipShows;
    PaintTooltip();
}

// The tip is painted into the window's own buffer: a separate native window would take the focus
// from the window under the pointer on some X servers and swallow the next click.
void PaintManager::PaintTooltip() {
    if (!m_window)
        return;
    TextFont font{FindTempFont(nullptr), 12, FontStyleRegular};
    CSize size = MRender::GetTextBounds(m_tooltipText, font, 256);
    CRect client = GetClientRect();
    CRect tip(m_tooltipRect.left, m_tooltipRect.bottom + 4, m_tooltipRect.left + size.cx + 10,
              m_tooltipRect.bottom + 4 + size.cy + 6);
    if (tip.bottom > client.bottom)
        tip.OffsetRect(0, m_tooltipRect.top - 4 - tip.bottom);
    if (tip.right > client.right)
        tip.OffsetRect(client.right - tip.right, 0);
    tip.OffsetRect(std::max(0, -tip.left), std::max(0, -tip.top));
    InvalidateRect(m_tooltipBox, 0);
    m_tooltipBox = tip;
    InvalidateRect(m_tooltipBox, 0);
}

void PaintManager::DrawTooltip(cairo_t* cr) {
    TextFont font{FindTempFont(nullptr), 12, FontStyleRegular};
    CRect box = m_tooltipBox;
    MRender::DrawColor(cr, box, 0xFF808080);
    box.DeflateRect(1, 1);
    MRender::DrawColor(cr, box, 0xFFFFFFFF);
    box.DeflateRect(4, 2);
    MRender::DrawString(cr, m_tooltipText, box, font, 0xFF000000, 0, 0, true);
}

void PaintManager::ClearTooltip() {
    m_tooltipOwner = 0;
    if (m_tooltipText.empty())
        return;
    m_tooltipText.clear();
    InvalidateRect(m_tooltipBox, 0);
    m_tooltipBox = CRect();
}

void PaintManager::SetMessage(const std::wstring& text, CRect rect, MsgLevel level) {
    Manager::KillTimer(m_hwnd, kTimerMessageShow);
    Manager::KillTimer(m_hwnd, kTimerMessageFade);
    m_overlayAlpha = 255;
    m_shownProgress = m_targetProgress = 0;
    m_overlayText = text;
    m_overlayLevel = level;
    if (rect.IsRectEmpty()) {
        CRect c = GetClientRect();
        int mid = c.left + c.Width() / 2;
        rect = CRect(mid - 100, c.bottom - 2 - 58, mid + 100, c.bottom - 2);
    }
    m_overlayRect = rect;
    InvalidateRect(rect, 0);
    Manager::SetTimer(m_hwnd, kTimerMessageShow, 3000);
}

void PaintManager::SetProgress(int value, const std::wstring& text, CRect rect) {
    if (value == m_targetProgress)
        return;
    if (value < 5)
        Manager::KillTimer(m_hwnd, kTimerMessageFade);
    m_overlayAlpha = 255;
    m_overlayText = text;
    m_targetProgress = value;
    if (rect.IsRectEmpty()) {
        CRect c = GetClientRect();
        rect = CRect(c.left, c.bottom - 60, c.right, c.bottom - 2);
    }
    m_overlayRect = rect;
    if (m_targetProgress - m_shownProgress < 6) {
        m_shownProgress = m_targetProgress;
        if (m_shownProgress >= 100)
            Manager::SetTimer(m_hwnd, kTimerMessageFade, 50);
    } else {
        Manager::SetTimer(m_hwnd, kTimerProgress, 10);
    }
    InvalidateRect(rect, 0);
}

bool PaintManager::AddTempFont(const wchar_t* name, const wchar_t* file) {
    if (!name || !file)
        return false;
    std::string path = MRender::ToUtf8(file);
    if (!FcConfigAppFontAddFile(FcConfigGetCurrent(), reinterpret_cast<const FcChar8*>(path.c_str())))
        return false;
    // Pango caches what fontconfig knew when its font map was made; tell it about the new file.
    PangoFontMap* map = pango_cairo_font_map_get_default();
    if (PANGO_IS_FC_FONT_MAP(map))
        pango_fc_font_map_config_changed(PANGO_FC_FONT_MAP(map));
    m_fonts[name] = name;
    return true;
}

std::wstring PaintManager::FindTempFont(const wchar_t*) {
    const std::wstring family = Manager::GetFontName();
    auto it = m_fonts.find(family);
    if (it != m_fonts.end())
        return it->second;
    m_fonts.emplace(family, family);
    return family;
}

void PaintManager::ClearTempFont() { m_fonts.clear(); }

void PaintManager::DestroyData() {
    if (!m_initialised)
        return;
    if (m_bkImage) {
        cairo_surface_destroy(m_bkImage);
        m_bkImage = nullptr;
    }
    KillAllMTimers();
    m_animationId = 0;
    ClearTimers();
    ClearAllControls();
    m_animated.clear();
    ClearImgResInfo();
    ClearTempFont();
    m_tooltipText.clear();
    m_tooltipBox = CRect();
    m_tooltipOwner = 0;
    m_captured = false;
    m_buttonPressed = false;
    m_initialised = false;
}

} // namespace TavikUI
