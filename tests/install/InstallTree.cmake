# Installs the build into PREFIX and runs the programs through the links in
# PREFIX/bin: each must find libNemesis.so and the databases in its real
# folder, and answer --version and --help on standard output.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

# Runs PREFIX/bin/<program> with the remaining arguments, outside the build
# and with no display: a program that opened a window here would fail.
function(expect program output)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
            ${PREFIX}/bin/${program} ${ARGN}
    WORKING_DIRECTORY ${PREFIX}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT out MATCHES "${output}" OR NOT err STREQUAL "")
    message(FATAL_ERROR "${program} ${ARGN}: exit ${status}\nstdout: ${out}\nstderr: ${err}")
  endif()
endfunction()

set(demo ${PREFIX}/lib/tessellane/demo.bin)
expect(tessellane-cli "^tessellane-cli ${VERSION}\n$" --version)
expect(tessellane-cli "^usage: tessellane-cli .*nemesis compress" --help)
expect(tessellane-cli "^Game: Tessellane Demo\n$" identify ${demo})
# A compressed sprite is unpacked and packed again through libNemesis.so.
set(chest ${PREFIX}/chest.png)
expect(tessellane-cli "^$" export ${demo} "Treasure Chest" ${chest})
expect(tessellane-cli "^compressed [0-9]+ bytes, limit 100\n$" import --dry-run ${demo} "Treasure Chest" ${chest})
expect(tessellane "^tessellane ${VERSION}\n$" --version)
expect(tessellane "^usage: tessellane \\[ROM\\]" ${demo} --help)
