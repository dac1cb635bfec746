# The MIDI player's portable sources; the winmm output is added by the Windows build.
file(GLOB CORVANE_MIDI_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/app/midi/*.cpp")
list(FILTER CORVANE_MIDI_SOURCES EXCLUDE REGEX "_win\\.cpp$")
