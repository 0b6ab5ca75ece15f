# Tests of the object editor, the rule editor and the main window.
tirvon_add_test(test_object_config SOURCES test_object_config.cpp LIBS config_core)
tirvon_add_test(test_rule_composer SOURCES test_rule_composer.cpp LIBS config_core)
tirvon_add_test(test_configurator_window SOURCES test_configurator_window.cpp LIBS config_core)
