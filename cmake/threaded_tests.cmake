# The tests that run a worker thread beside the calling one: what the tsan
# preset builds (target `threaded_tests`) and runs (CTest label `threaded`).
# To add a suite, add one kit_threaded_tests() line below:
#   kit_threaded_tests(PROGRAM [REGEX])
# labels the tests of test program PROGRAM whose CTest names match REGEX
# (every test of it without one).
#
# The label is set when CTest reads the tests that gtest_discover_tests found
# after the build, so it needs no change where the program is declared. A
# program that was not built, or a REGEX that matches none of its tests, shows
# up as a failing test under the label rather than as a silently shorter run.
if(NOT BUILD_TESTING)
  return()
endif()

add_custom_target(threaded_tests)

function(kit_threaded_tests program)
  if(NOT TARGET ${program})  # e.g. the workstation's programs without KIT_BUILD_GUI
    return()
  endif()
  set(regex "${ARGN}")
  if(regex STREQUAL "")
    set(regex ".")
  endif()
  add_dependencies(threaded_tests ${program})
  get_target_property(dir ${program} SOURCE_DIR)
  set(script ${CMAKE_BINARY_DIR}/threaded_tests/${program}.cmake)
  file(CONFIGURE OUTPUT ${script} @ONLY CONTENT [==[
if(NOT DEFINED @program@_TESTS)
  set_tests_properties(@program@_NOT_BUILT PROPERTIES LABELS threaded)
else()
  set(matched "")
  foreach(test IN LISTS @program@_TESTS)
    if(test MATCHES [=[@regex@]=])
      list(APPEND matched "${test}")
    endif()
  endforeach()
  if(matched)
    set_tests_properties(${matched} PROPERTIES LABELS threaded)
  else()
    add_test(@program@_NO_THREADED_TESTS @program@_NO_THREADED_TESTS)
    set_tests_properties(@program@_NO_THREADED_TESTS PROPERTIES LABELS threaded)
  endif()
endif()
]==])
  # After the program's own include file, which defines PROGRAM_TESTS.
  set_property(DIRECTORY ${dir} APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

# libvaz: VazSetStop from another thread ends a no-card retry; a card
# arriving while the library retries.
kit_threaded_tests(devicelink_protocol_tests "FromAnotherThread|UntilACardArrives")
# libvaz's USB reports arriving from a device thread, the serial port's lock.
kit_threaded_tests(devicelink_unit_tests "UsbReports|SerialPort")
# The feedback mailer: the SMTP exchange, and VazCrashReport's send.
kit_threaded_tests(devicelink_mail_tests)
kit_threaded_tests(devicelink_mail_report_tests)
# The project dialog's card-reading loop.
kit_threaded_tests(kestrin-projects-device-tests "ReadLoop")
# The firmware transfer and its receive thread.
kit_threaded_tests(firmware-tests)
# The shell: the library's message boxes asked for by worker threads, the
# feedback dialog's send off the GUI thread, the forms' workers, serialised
# device calls and update batches.
kit_threaded_tests(kestrin-shell-tests "LibraryBox|FeedbackDialogTest|FormWorkers|DeviceCalls|UpdateBatches")
# The value test's sampler.
kit_threaded_tests(kestrin-readertests-tests "ValueForm\\.")
