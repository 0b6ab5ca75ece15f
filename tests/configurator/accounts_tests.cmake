# The tests reach the windows' controls through the forms that config_core
# generates; they have no forms of their own to generate.
tirvon_add_test(test_accounts SOURCES test_accounts.cpp LIBS config_core)
tirvon_add_test(test_log_database SOURCES test_log_database.cpp LIBS config_core)
set_source_files_properties(test_accounts.cpp test_log_database.cpp PROPERTIES SKIP_AUTOUIC ON)
