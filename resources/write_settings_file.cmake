# Writes the settings file the program folder ships (zemskin/Config.ini): the
# installed version is the one the sample content server publishes, so a first
# start against it finds the player current; the [form] switches are off, as
# the settings window shows a new user. CR LF line ends; every byte is ASCII
# (the version is checked to be), so the text is its own GBK form.
# Usage: cmake -DVERSION_TEXT=<wen.txt> -DOUTPUT=<Config.ini> -P write_settings_file.cmake
file(READ "${VERSION_TEXT}" text)
string(FIND "${text}" "== " marker)
if(marker EQUAL -1)
  message(FATAL_ERROR "${VERSION_TEXT} holds no version marker \"== \"")
endif()
math(EXPR start "${marker} + 3")
string(SUBSTRING "${text}" ${start} 3 version)
# As the programs read it: up to three characters, ending at the line's end.
string(REGEX REPLACE "[\r\n].*" "" version "${version}")
if(NOT version MATCHES "^[!-~]+$" OR version MATCHES "#")
  message(FATAL_ERROR "the version \"${version}\" in ${VERSION_TEXT} is not printable ASCII without blanks or '#'")
endif()

set(crlf "\r\n")
set(settings "[Version]${crlf}Version=${version}${crlf}[form]${crlf}")
foreach(key form run renwulan shipinku update)
  string(APPEND settings "${key}=False${crlf}")
endforeach()
file(WRITE "${OUTPUT}" "${settings}")
