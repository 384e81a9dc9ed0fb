# probe.exe: the measuring tool of the Wine benchmarks and the soak test,
# built like the other tools (static, beside wendlock.exe).
add_executable(probe probe.cpp)
target_compile_definitions(probe PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_link_libraries(probe PRIVATE user32 gdi32 kernel32)
set_target_properties(probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
if(NOT MSVC)
    target_link_options(probe PRIVATE -static -static-libgcc -static-libstdc++)
endif()

# poller.exe: the control program of the Wine benchmarks, the watcher's
# lookups and an optional tray icon without the rest of Wendlock.
add_executable(poller poller.cpp)
target_compile_definitions(poller PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_link_libraries(poller PRIVATE user32 shell32 kernel32)
set_target_properties(poller PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
if(NOT MSVC)
    target_link_options(poller PRIVATE -static -static-libgcc -static-libstdc++)
endif()
