#include "windows/StationWindowSet.h"

namespace tirvon::station {

StationWindowSet::StationWindowSet(std::unique_ptr<TForm1> mainWindow)
    : form1_(std::move(mainWindow)) {
    form1_->attachWindows(
        {form1_.get(), &form2_, &form3_, &form4_, &form5_, &form6_, &form7_, &form8_, &form9_});
}

} // namespace tirvon::station
