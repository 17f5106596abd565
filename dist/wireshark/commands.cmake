# Writes the dissector's command table from the engine's headers: every command's request
# length and shortest reply (INTP_COMMAND_TRAITS) and its session's name, so the dissector
# names and checks exactly what the console sends and expects.
#   cmake -DHEADERS="a.h;b.h" -DTEMPLATE=zode.lua.in -DOUTPUT=zode.lua -P commands.cmake
set(traits "")
set(names "")
foreach(header ${HEADERS})
  file(READ ${header} text)
  # Semicolons would split the matches into CMake list elements.
  string(REPLACE ";" "@SEMI@" text "${text}")
  string(REGEX MATCHALL "INTP_COMMAND_TRAITS\\(([0-9]+), ([0-9]+), ([0-9]+)\\)@SEMI@" found "${text}")
  foreach(entry ${found})
    string(REGEX REPLACE "INTP_COMMAND_TRAITS\\(([0-9]+), ([0-9]+), ([0-9]+)\\)@SEMI@" "    [\\1] = {request = \\2, reply = \\3}," line "${entry}")
    string(APPEND traits "${line}\n")
  endforeach()
  string(REGEX MATCHALL "TSession[A-Za-z0-9]*<([0-9]+)[,>][^{]*{([^}]|{[^{}]*})*Name\\(\\) const override { return \"[A-Za-z0-9]+\"@SEMI@ }" sessions "${text}")
  foreach(entry ${sessions})
    string(REGEX REPLACE ".*<([0-9]+)[,>].*return \"([A-Za-z0-9]+)\".*" "    [\\1] = \"\\2\"," line "${entry}")
    string(APPEND names "${line}\n")
  endforeach()
endforeach()
set(COMMAND_TRAITS "${traits}")
set(COMMAND_NAMES "${names}")
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
