# Hardening checks beside the unit suites:
#  - fuzz targets for everything that comes from outside (clang with libFuzzer; configured by
#    scripts/fuzz.sh with KAVREL_FUZZ=ON),
#  - a concurrency stress test (every build; scripts/test-hardening.sh also runs it under
#    ThreadSanitizer),
#  - the real-time checks that need a binary of their own (no locks on the audio thread, via
#    the linker's --wrap) and the render identity check (native Linux builds).

option(KAVREL_FUZZ "Build the libFuzzer targets (clang, with KAVREL_SANITIZE including fuzzer-no-link)" OFF)

if(KAVREL_FUZZ)
  set(KAVREL_FUZZ_TARGETS program_chunk bank_chunk events time_info parameters assignments)
  foreach(name ${KAVREL_FUZZ_TARGETS})
    add_executable(fuzz_${name} tests/fuzz/fuzz_${name}.cpp tests/support/TestEnvironment.cpp)
    target_include_directories(fuzz_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${name} PRIVATE kavrel_engine)
  endforeach()
  # Seeds come from the real factory bank, so this one carries it.
  add_executable(kavrel-fuzz-seeds tests/fuzz/make_seeds.cpp tests/support/TestEnvironment.cpp)
  target_include_directories(kavrel-fuzz-seeds PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(kavrel-fuzz-seeds PRIVATE kavrel_engine kavrel_resources)
  add_custom_target(fuzz-targets)
  foreach(name ${KAVREL_FUZZ_TARGETS})
    add_dependencies(fuzz-targets fuzz_${name})
  endforeach()
  add_dependencies(fuzz-targets kavrel-fuzz-seeds)
endif()

if(KAVREL_TESTS AND NOT CMAKE_CROSSCOMPILING)
  # Stress, identity and regression tests: one gtest binary, run by ctest in every native
  # build (plain and AddressSanitizer) and built alone under ThreadSanitizer by
  # scripts/test-hardening.sh.
  file(GLOB KAVREL_HARDENING_TESTS CONFIGURE_DEPENDS tests/stress/*_test.cpp)
  list(FILTER KAVREL_HARDENING_TESTS EXCLUDE REGEX ".*/realtime_lock_test\\.cpp$")
  add_executable(kavrel_hardening_tests ${KAVREL_HARDENING_TESTS} tests/support/TestEnvironment.cpp)
  target_include_directories(kavrel_hardening_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  # Without the factory bank: the identity references must not move when its content does.
  target_link_libraries(kavrel_hardening_tests PRIVATE kavrel_engine gtest gtest_main)
  if(NOT WIN32)
    # The images and fonts alone, so the editor can open beside the audio thread.
    target_link_libraries(kavrel_hardening_tests PRIVATE kavrel_editor_resources pthread)
  endif()
  add_test(NAME hardening COMMAND kavrel_hardening_tests --gtest_brief=1)

  # The audio thread takes no lock: every lock entry point is wrapped by the linker and
  # counted when the calling thread is rendering.
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    # The counting operator new of AllocationCounter.cpp calls malloc from this link, so the
    # wrapped malloc sees every C++ allocation too.
    add_executable(kavrel_realtime_lock_tests tests/stress/realtime_lock_test.cpp
      tests/support/TestEnvironment.cpp tests/support/AllocationCounter.cpp)
    target_include_directories(kavrel_realtime_lock_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(kavrel_realtime_lock_tests PRIVATE kavrel_engine kavrel_editor_resources gtest gtest_main pthread)
    set(KAVREL_WRAPPED pthread_mutex_lock pthread_mutex_trylock pthread_mutex_timedlock
      pthread_rwlock_rdlock pthread_rwlock_wrlock pthread_rwlock_tryrdlock pthread_rwlock_trywrlock
      pthread_spin_lock pthread_spin_trylock pthread_cond_wait pthread_cond_timedwait sem_wait
      sem_timedwait __cxa_guard_acquire malloc calloc realloc free fopen open openat)
    foreach(symbol ${KAVREL_WRAPPED})
      target_link_options(kavrel_realtime_lock_tests PRIVATE -Wl,--wrap=${symbol})
    endforeach()
    add_test(NAME realtime-locks COMMAND kavrel_realtime_lock_tests --gtest_brief=1)
  endif()
endif()
