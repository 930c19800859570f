#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace orv {

class SettingsStore;

// Keeps a window's size, whether it is maximised and, when asked, its
// position under a key of the settings store: put back at once, and written
// whenever the window is closed or hidden with a place other than the one
// last kept.
class RememberedPlace : public QObject {
public:
    enum class Keep { SizeAndPosition, Size };

    RememberedPlace(QWidget &window, SettingsStore &settings, QString key, Keep keep);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void restore();
    void store();

    QWidget &mWindow;
    SettingsStore &mSettings;
    QString mKey;
    Keep mKeep;
    QString mStored;
};

} // namespace orv
