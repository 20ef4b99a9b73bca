// A popup menu: a borderless window of MenuItems that reports the chosen item to its owner and closes.
#pragma once

#include "TavikUI/MDialog.h"
#include "TavikUI/MenuItem.h"

namespace TavikUI {

// A menu deletes itself once its window is destroyed: make it with new and never delete it.
class MenuWnd : public MWindow, public MObject {
public:
    explicit MenuWnd(MObject* owner);
    ~MenuWnd() override;

    long OnBaseMessage(unsigned id, unsigned code, unsigned wparam, long lparam) override;
    long OnControlUpdate(CRect rect, int dirty, MControl* control) override;
    long OnWindowMessage(unsigned msg, unsigned wparam, long lparam) override;
    int PreTranslateMessage(MSG* msg) override;
    int OnInitDialog() override;
    void OnDestroyMessage(WindowHandle hwnd) override;

    virtual MObject* GetParent() { return m_ownerObject; }
    virtual void InitUI(CRect client);
    virtual long OnMessage(unsigned id, unsigned code, unsigned wparam, long lparam);
    virtual void CloseWindow();
    virtual int PostNcDestroy();

    int Create(WindowHandle owner, CPoint origin, unsigned notify_message, const std::wstring& background,
               int corner, int width, enumBackMode mode);
    int Create(WindowHandle owner, CPoint origin, unsigned notify_message) {
        return Create(owner, origin, notify_message, L"", 4, 300, BackModeOrigin);
    }
    int AddMenu(const std::wstring& text, unsigned id, const std::wstring& image, int checkable = 0, int check = 0);
    void AddSeparator(unsigned id, const std::wstring& image);
    void SetItemTitle(unsigned id, const std::wstring& text);
    void SetItemVisible(unsigned id, int visible);
    void SetItemEnable(unsigned id, int enabled);
    void SetItemCheck(unsigned id, int check);
    void SetMenuPoint();
    void SendMessageToParent(unsigned id, unsigned code, unsigned wparam, long lparam);
    MenuItem* GetItem(unsigned id);
    int GetMenuWidth() const { return m_width; }

    PaintManager m_pm;

private:
    MObject* m_ownerObject;
    WindowHandle m_ownerWnd = 0;
    unsigned m_notifyMessage = 0;
    std::wstring m_fontName;
    int m_fontSize;
    int m_itemHeight = 35;
    int m_width = 300;
    int m_indent = 5;
    int m_topMargin = 6;
    int m_bottomMargin = 6;
    uint32_t m_textColor = 0xFF285055;
    bool m_closing = false;
};

} // namespace TavikUI
