#pragma once

#include "windows/TForm1.h"
#include "windows/TForm2.h"
#include "windows/TForm3.h"
#include "windows/TForm4.h"
#include "windows/TForm5.h"
#include "windows/TForm6.h"
#include "windows/TForm7.h"
#include "windows/TForm8.h"
#include "windows/TForm9.h"

#include <memory>

namespace tirvon::station {

// The nine windows of the station, created once, in their order, at program
// start: the main window first, then the control panel, login, list window,
// reports, about, modem initialisation, printed report and exchange monitor.
// Only the main window is shown; the others wait until they are used.
class StationWindowSet {
public:
    explicit StationWindowSet(std::unique_ptr<TForm1> mainWindow);

    TForm1& form1() { return *form1_; }
    TForm2& form2() { return form2_; }
    TForm3& form3() { return form3_; }
    TForm4& form4() { return form4_; }
    TForm5& form5() { return form5_; }
    TForm6& form6() { return form6_; }
    TForm7& form7() { return form7_; }
    TForm8& form8() { return form8_; }
    TForm9& form9() { return form9_; }

private:
    std::unique_ptr<TForm1> form1_;
    TForm2 form2_;
    TForm3 form3_;
    TForm4 form4_;
    TForm5 form5_;
    TForm6 form6_;
    TForm7 form7_;
    TForm8 form8_;
    TForm9 form9_;
};

} // namespace tirvon::station
