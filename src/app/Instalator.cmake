# Instalator.exe: the setup program (GUI subsystem), written to the root of the build directory.
# It needs the Win32 platform layer.
if(NOT TARGET orvala_platform_win32)
  return()
endif()
add_executable(Instalator WIN32
  Instalator.cpp untMain.cpp untDmInstal.cpp
  $<TARGET_OBJECTS:orvala_resources_main>
  $<TARGET_OBJECTS:orvala_dialogs_rc>
  $<$<TARGET_EXISTS:orvala_payload>:$<TARGET_OBJECTS:orvala_payload>>)
target_include_directories(Instalator PRIVATE "${PROJECT_SOURCE_DIR}/resources")
target_link_options(Instalator PRIVATE -municode)
target_link_libraries(Instalator PRIVATE
  orvala_wizard orvala_dialogs orvala_edytor orvala_engine orvala_config orvala_platform_win32
  comctl32 gdi32 user32)
set_target_properties(Instalator PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}")
