# The layers under src/, bottom to top, and which folders each one may use:
# all of them below it. The include check (check_layers.cmake) and the
# libraries (one per folder and half, see velkor_folder in CMakeLists.txt)
# both read this table, so an include or a link that runs upward fails the
# build.
#
#   app                                  on top: builds the windows, wires everything
#   tray     shell procs settings gfx win (the companion: lower layers only)
#   lists    monitor procs settings gfx win
#   monitor  procs settings gfx win
#   shell    procs settings gfx win
#   procs    settings gfx win
#   settings gfx win
#   errors   gfx win
#   export   gfx win
#   gfx      win
#   win      (nothing)
set(VELKOR_LAYERS win gfx export errors settings procs shell monitor lists tray app)
set(VELKOR_USES_app errors export gfx lists monitor procs settings shell win)
set(VELKOR_USES_tray shell procs settings gfx win)
set(VELKOR_USES_lists monitor procs settings gfx win)
set(VELKOR_USES_monitor procs settings gfx win)
set(VELKOR_USES_shell procs settings gfx win)
set(VELKOR_USES_procs settings gfx win)
set(VELKOR_USES_settings gfx win)
set(VELKOR_USES_errors gfx win)
set(VELKOR_USES_export gfx win)
set(VELKOR_USES_gfx win)
set(VELKOR_USES_win "")
