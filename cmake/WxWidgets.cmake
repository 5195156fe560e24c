# wx headers are included as system headers so that our warning flags
# (with -Werror) judge our code only.
find_package(wxWidgets 3.2 REQUIRED COMPONENTS core base)
add_library(taliard_wx INTERFACE)
target_include_directories(taliard_wx SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(taliard_wx INTERFACE ${wxWidgets_DEFINITIONS})
target_compile_options(taliard_wx INTERFACE ${wxWidgets_CXX_FLAGS})
target_link_libraries(taliard_wx INTERFACE ${wxWidgets_LIBRARIES})
