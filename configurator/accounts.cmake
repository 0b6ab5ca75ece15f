# Operator accounts (TForm3) and the log database (TForm4).
target_sources(config_core PRIVATE
    accounts/AccountsWork.cpp
    database/LogDatabase.cpp
    windows/TForm3.cpp windows/TForm3.ui
    windows/TForm4.cpp windows/TForm4.ui
)
