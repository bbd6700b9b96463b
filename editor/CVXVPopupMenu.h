#pragma once
#include "gui/CControl.h"

#include <string>
#include <vector>

class CFontrastResource;

// A list box drawn in place: closed it shows the selected item; pressed, the list opens over
// it with the selected row under the pointer, follows the pointer while the button is held,
// and on release closes and reports the new choice (value = index / (count - 1)).
//
// Whatever value arrives, the selection stays within the items; with no items it selects
// nothing and draws an empty box.
class CVXVPopupMenu : public CControl {
public:
    CVXVPopupMenu(const CRect& size, CControlListener* listener, long tag, CFontrastResource* font,
                  const CColor& frameColour, const CColor& closedBackground,
                  const CColor& openBackground, const CColor& highlightBackground,
                  const CColor& textColour, const CColor& highlightTextColour);
    ~CVXVPopupMenu() override;

    void setValue(float value) override;
    void draw(CDrawContext* context) override;
    long onMouseDown(CPoint& where, long buttons) override;
    long onMouseMoved(CPoint& where, long buttons) override;
    long onMouseUp(CPoint& where, long buttons) override;
    void removed() override;
    bool isTypeOf(const char* className) const override;

    virtual void addItem(const char* text);
    virtual void setItems(const std::vector<std::string>& items);
    virtual const std::vector<std::string>& getItems() const { return items; }
    virtual void clearItems();
    virtual void open();
    virtual void close();
    // Top-left of the text of an item in the first row: centred across, centred in the row.
    virtual CPoint textPosition(const char* text);

    bool isOpen() const { return opened; }
    unsigned getSelected() const { return selected; }
    int getItemHeight() const { return itemHeight; }
    const CRect& getClosedRect() const { return closedRect; }
    const CRect& getOpenRect() const { return openRect; }

    virtual CVXVPopupMenu* newCopy() const;

protected:
    void itemsChanged();
    unsigned count() const { return static_cast<unsigned>(items.size()); }

    std::vector<std::string> items;
    CRect closedRect;
    CRect openRect;
    int itemHeight;
    unsigned selected = 0;
    bool opened = false;
    bool changed = false;
    bool pressed = false;
    float pendingValue = 0.0f;
    CFontrastResource* font;
    CColor frameColour, closedBackground, openBackground, highlightBackground, textColour,
        highlightTextColour;
};
