# probe.exe: the measuring tool of the Wine benchmarks and the soak test.
wendlock_test_tool(probe user32 gdi32 kernel32)

# poller.exe: the control program of the Wine benchmarks, the watcher's
# lookups and an optional tray icon without the rest of Wendlock.
wendlock_test_tool(poller user32 shell32 kernel32)

# tickbench.exe: the watcher's tick on the real window system, an entry with
# keys against the same entry without, for the Wine bench.
wendlock_test_tool(tickbench wendlock_core wendlock_win32)
