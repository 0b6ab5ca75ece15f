# Main window with the object and rule editors, the about window, and the program.
target_sources(config_core PRIVATE
    objects/RuleComposer.cpp
    windows/TForm1.cpp windows/TForm1.ui
    windows/TForm2.cpp windows/TForm2.ui
)

add_executable(config main.cpp)
target_link_libraries(config PRIVATE config_core)
install(TARGETS config RUNTIME DESTINATION .)
