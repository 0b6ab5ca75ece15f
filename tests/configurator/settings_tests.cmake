tirvon_add_test(test_settings SOURCES test_settings.cpp LIBS config_core gsmsim_core)
target_compile_definitions(test_settings PRIVATE GSM_SIM_PATH="$<TARGET_FILE:gsm-sim>")
add_dependencies(test_settings gsm-sim)
