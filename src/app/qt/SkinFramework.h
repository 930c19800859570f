#pragma once

#include <QString>

class QWidget;

namespace orv {

// The window-skinning component. A skin file is a Qt style sheet. The
// component is driven in a fixed order: load the skin, set the option
// flags, turn on the switches, apply it to a window. The members are
// virtual so that tests can watch that order.
class SkinFramework {
public:
    // Option flag bit 0: the skin is active; apply does nothing without it.
    static constexpr int kSkinActive = 1;

    virtual ~SkinFramework() = default;

    // Reads the style sheet; `iniText` names an optional section of a
    // multi-skin file and is not used by style sheets. Throws a Failure
    // when the file cannot be read.
    virtual void loadSkin(const QString &path, const QString &iniText);
    virtual int optionFlags() const { return mOptions; }
    virtual void setOptionFlags(int flags) { mOptions = flags; }
    // Switch 5: polish every child control at once, so the skin's look is
    // there before the window is first shown.
    virtual void setPolishChildren(bool on) { mPolishChildren = on; }
    // Switch 10: repaint the window right after the skin is applied.
    virtual void setRepaintWindow(bool on) { mRepaintWindow = on; }
    virtual void applyToWindow(QWidget &window);

    const QString &styleSheet() const { return mStyleSheet; }

private:
    QString mStyleSheet;
    int mOptions = 0;
    bool mPolishChildren = false;
    bool mRepaintWindow = false;
};

} // namespace orv
