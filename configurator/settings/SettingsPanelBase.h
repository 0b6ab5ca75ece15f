#pragma once

#include "ini/IniDocument.h"

#include <QGroupBox>

namespace tirvon::configurator {

// The system settings panel (GroupBox9) as the main window sees it: hidden at
// start, filling the window's client area when shown. The main window's refresh
// asks it to read the port settings (step 3) and the signal names (step 6), and
// sizes itself by its port group; after an apply the panel asks for a refresh.
// Both loads read the parse that the whole refresh works on.
class SettingsPanelBase : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

    virtual void loadPortSettings(const ini::IniDocument& doc) = 0;
    virtual void loadSignalNames(const ini::IniDocument& doc) = 0;
    // Width of the port group (GroupBox1).
    virtual int portGroupWidth() const = 0;

signals:
    // The settings were written: the main window refreshes from the file.
    void applied();
};

} // namespace tirvon::configurator
