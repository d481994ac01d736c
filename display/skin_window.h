#pragma once
// The base of the three clock windows. For now each view is a plain captioned window that
// paints its texts; the skinned, layered faces replace these bodies.
#include <string>
#include <vector>

#include "framework/dialog.h"

namespace velmora {

class SkinWindow : public CDialog {
public:
    // Creates the window of this view, without a parent.
    virtual bool CreateView() = 0;
    // The once-a-second redraw of the window's time.
    virtual void DrawTime() { Repaint(); }
    // Enter and Escape do nothing in a clock window.
    void OnOK() override {}
    void OnCancel() override {}

    static const MessageMap& Map();

protected:
    const MessageMap* GetMessageMap() const override { return &Map(); }
    bool CreateFace(const wchar_t* title, short width, short height);
    void Repaint() const;
    // The lines the face shows, top to bottom.
    virtual std::vector<std::wstring> FaceLines() const = 0;

private:
    bool OnPaint(Message& message);
};

class MainSkinDialog : public SkinWindow {
public:
    bool CreateView() override { return CreateFace(L"Velmora", 160, 90); }
    void DrawServer() { Repaint(); }
    void DrawStatus() { Repaint(); }

protected:
    std::vector<std::wstring> FaceLines() const override;
};

class smal_main : public SkinWindow {
public:
    bool CreateView() override { return CreateFace(L"Velmora", 120, 50); }

protected:
    std::vector<std::wstring> FaceLines() const override;
};

class Skin3 : public SkinWindow {
public:
    bool CreateView() override { return CreateFace(L"Velmora", 160, 60); }

protected:
    std::vector<std::wstring> FaceLines() const override;
};

}  // namespace velmora
