# Instalator.exe: the setup program (GUI subsystem), written to the root of the build directory.
# It needs the Win32 platform layer.
if(NOT TARGET orvala_platform_win32)
  return()
endif()
add_executable(Instalator WIN32
  Instalator.cpp untMain.cpp untMainRama.cpp untStronaKreatora.cpp untStronaWstep.cpp
  untStronaUmowa.cpp untStronaOpcje.cpp untStronaInstalacja.cpp untStronaKoniec.cpp
  untDmInstal.cpp untKoniecSesji.cpp untJednaKopia.cpp
  $<TARGET_OBJECTS:orvala_resources_main>
  $<TARGET_OBJECTS:orvala_dialogs_rc>
  $<$<TARGET_EXISTS:orvala_payload>:$<TARGET_OBJECTS:orvala_payload>>)
target_include_directories(Instalator PRIVATE "${PROJECT_SOURCE_DIR}/resources")
# -s: what ships carries no symbol table and no debug sections (those came from the static
# runtime libraries, and the symbol table named build paths, so it differed between folders).
# --tsaware: on a Remote Desktop server the program sees the real Windows folder and gets no
# compatibility shims, as a program made for such sessions.
target_link_options(Instalator PRIVATE -municode -s -Wl,--tsaware)
# VERSION.dll is delay-loaded (see version-delay.def): at start the program imports only the
# system's known DLLs (and comctl32 through its manifest).
find_program(ORVALA_DLLTOOL NAMES ${ORVALA_MINGW}-dlltool REQUIRED)
set(version_delay "${CMAKE_CURRENT_BINARY_DIR}/libversion_delay.a")
set(version_def "${CMAKE_CURRENT_SOURCE_DIR}/version-delay.def")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  # 64-bit Windows has one calling convention: its exported names carry no "@bytes" suffix.
  file(READ "${version_def}" def_text)
  string(REGEX REPLACE "@[0-9]+" "" def_text "${def_text}")
  set(version_def "${CMAKE_CURRENT_BINARY_DIR}/version-delay-64.def")
  file(CONFIGURE OUTPUT "${version_def}" CONTENT "${def_text}" @ONLY)
endif()
add_custom_command(
  OUTPUT "${version_delay}"
  COMMAND "${ORVALA_DLLTOOL}" --input-def "${version_def}"
          --output-delaylib "${version_delay}" --dllname VERSION.dll
  DEPENDS "${version_def}"
  VERBATIM)
add_custom_target(orvala_version_delay_lib DEPENDS "${version_delay}")
add_library(orvala_version_delay STATIC IMPORTED)
set_target_properties(orvala_version_delay PROPERTIES IMPORTED_LOCATION "${version_delay}")
add_dependencies(Instalator orvala_version_delay_lib)

target_link_libraries(Instalator PRIVATE
  orvala_wizard orvala_dialogs orvala_edytor orvala_engine orvala_config orvala_platform_win32
  orvala_version_delay comctl32 gdi32 user32)
set_target_properties(Instalator PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}")
