# System settings panel, system sounds, modem test.
find_package(Qt6 6.4 REQUIRED COMPONENTS Multimedia)
target_sources(config_core PRIVATE
    settings/ModemProbe.cpp
    settings/SoundPlayer.cpp
    settings/SoundSettings.cpp
    settings/SettingsPanel.cpp settings/SettingsPanel.ui
)
target_link_libraries(config_core PUBLIC Qt6::Multimedia)
