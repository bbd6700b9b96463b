#pragma once
#include "gui/CView.h"

#include <string>

class CFontrastResource;

// A small dark plate with one line of bitmap-font text, shown over the window while a control
// is dragged (the parameter's value and unit). It takes no mouse and sizes itself to its text.
class CVXValueTip : public CView {
public:
    explicit CVXValueTip(CFontrastResource* font);
    ~CVXValueTip() override;

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;

    // Shows the text centred over `anchor`, just above it, or below it when there is no room
    // above; always inside `bounds`.
    void showAt(const char* text, const CRect& anchor, const CRect& bounds);
    // Shows the text in the top right corner inside `area` (a panel with room of its own).
    void showInside(const char* text, const CRect& area);
    const std::string& getText() const { return text; }

private:
    void place(const std::string& next, const CRect& placed);

    CFontrastResource* font;
    std::string text;
};
