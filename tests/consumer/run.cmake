# Installs the built library into a fresh prefix, then configures, builds and runs the consumer project
# against that prefix alone, and runs the installed program from another folder with no library path
# set. Fails on any error. Run as:
#   cmake -DSOURCE_DIR=<source tree> -DBUILD_DIR=<build tree> -P tests/consumer/run.cmake
if(NOT SOURCE_DIR OR NOT BUILD_DIR)
  message(FATAL_ERROR "run.cmake needs -DSOURCE_DIR=... and -DBUILD_DIR=...")
endif()

set(prefix ${BUILD_DIR}/consumer/install)
set(work ${BUILD_DIR}/consumer/build)
file(REMOVE_RECURSE ${BUILD_DIR}/consumer)

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "consumer: ${what} failed (${rc})\n${out}\n${err}")
  endif()
  message(STATUS "consumer: ${what}: ok")
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
if(NOT EXISTS ${prefix}/include/TAQMoRuntimeStroke/TAQMoStroke.h)
  message(FATAL_ERROR "consumer: the install put no TAQMoStroke.h under ${prefix}/include/TAQMoRuntimeStroke")
endif()
file(GLOB_RECURSE leaked_private ${prefix}/include/*_Impl.h)
if(leaked_private)
  message(FATAL_ERROR "consumer: private kernel headers were installed: ${leaked_private}")
endif()

file(GLOB pkgconfig ${prefix}/lib*/pkgconfig/TAQMoRuntimeStroke.pc ${prefix}/lib/*/pkgconfig/TAQMoRuntimeStroke.pc)
if(NOT pkgconfig)
  message(FATAL_ERROR "consumer: the install put no pkg-config file under ${prefix}")
endif()
if(EXISTS ${prefix}/bin/stroke)
  set(away ${BUILD_DIR}/consumer/elsewhere)
  file(MAKE_DIRECTORY ${away})
  set(clean_env ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH --unset=TAQ_DATA_DIR)
  execute_process(COMMAND ${clean_env} ${prefix}/bin/stroke --version OUTPUT_VARIABLE version RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT version MATCHES "[0-9]+\\.[0-9]+\\.[0-9]+")
    message(FATAL_ERROR "consumer: the installed 'stroke --version' failed (${rc}): ${version}")
  endif()
  execute_process(COMMAND ${clean_env} ${prefix}/bin/stroke WORKING_DIRECTORY ${away} RESULT_VARIABLE rc
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  # It reads the installed example, not the source tree's.
  if(NOT rc EQUAL 0 OR NOT EXISTS ${away}/stroke-out/wave.step OR NOT out MATCHES "share/TAQMoRuntimeStroke/examples/wave.json")
    message(FATAL_ERROR "consumer: the installed program's default run failed (${rc})\n${out}\n${err}")
  endif()
  message(STATUS "consumer: installed program: ${version}")
endif()

set(generator_args)
find_program(TAQ_NINJA ninja)
if(TAQ_NINJA)
  set(generator_args -G Ninja)
endif()
run("configure" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consumer -B ${work} ${generator_args}
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF)
run("build" ${CMAKE_COMMAND} --build ${work})
run("run" ${work}/app)
message(STATUS "${last_output}")
