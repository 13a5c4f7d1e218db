# The Windows build: vesko.exe, the platform bindings and the end-to-end driver.

# A bare folder must be enough to run the program: link the runtimes in
# (libssp holds MinGW's stack protector and checked calls; see below).
set(VESKO_STATIC_LINK -static -static-libgcc -static-libstdc++ -lssp)
# The shipped program carries no debugging sections (under Wine they would be
# loaded into every running copy) and no unreferenced code.
add_compile_options(-ffunction-sections -fdata-sections)
# No time stamp in the executable and no build folder in anything compiled:
# two builds of one commit give the same bytes.
set(VESKO_RELEASE_LINK $<$<CONFIG:Release>:-s> -Wl,--gc-sections -Wl,--no-insert-timestamp)
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)

# Exploit mitigations asked for rather than left to the linker's defaults:
# address-space randomisation (high-entropy on x86_64), no code execution
# from data, a canary on every frame with arrays or addresses taken, and
# checked string and memory calls where the size is known. MinGW's stack
# protector and checked calls live in libssp, linked in statically.
add_compile_options(-fstack-protector-strong $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
add_link_options(-Wl,--dynamicbase -Wl,--nxcompat -fstack-protector-strong)
if(VESKO_ARCH STREQUAL "x86_64")
    add_link_options(-Wl,--high-entropy-va)
endif()

# Only libraries Windows protects by name are imported (scripts/check_pe.py
# keeps the list); every other one is loaded from the system folder at run
# time through base/SystemLibrary_win.
add_library(vesko_win STATIC ${WIN_SOURCES})
target_include_directories(vesko_win PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(vesko_win PUBLIC vesko_core shell32 uuid advapi32 user32 gdi32 kernel32)

# Icons are drawn from pixel data at build time; nothing generated is kept in git.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(ICON_DIR ${CMAKE_BINARY_DIR}/res)
set(ICONS ${ICON_DIR}/TTICON.ico ${ICON_DIR}/TFICON.ico ${ICON_DIR}/MAINICON.ico ${ICON_DIR}/ABOUT.bmp
    ${ICON_DIR}/ABOUT72.bmp ${ICON_DIR}/ABOUT96.bmp)
add_custom_command(OUTPUT ${ICONS}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/res/make_icons.py ${ICON_DIR}
    DEPENDS ${CMAKE_SOURCE_DIR}/res/make_icons.py
    COMMENT "Drawing the program's icons")
add_custom_target(vesko_icons DEPENDS ${ICONS})

file(GLOB APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/*.cpp)
add_executable(vesko WIN32 ${APP_SOURCES} ${CMAKE_SOURCE_DIR}/src/base/RuntimeImports_win.cpp
    ${CMAKE_SOURCE_DIR}/res/vesko.rc)
add_dependencies(vesko vesko_icons)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/vesko.rc PROPERTIES
    OBJECT_DEPENDS "${ICONS};${CMAKE_SOURCE_DIR}/res/vesko.manifest;${CMAKE_BINARY_DIR}/generated/VeskoVersion.h")
target_include_directories(vesko PRIVATE ${CMAKE_SOURCE_DIR}/src/app ${CMAKE_BINARY_DIR}/generated)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${ICON_DIR} -I${CMAKE_SOURCE_DIR}/res -I${CMAKE_BINARY_DIR}/generated -c 65001")
target_link_libraries(vesko PRIVATE vesko_win ${VESKO_STATIC_LINK} ${VESKO_RELEASE_LINK} -municode)
# The help page lives beside the executable.
add_custom_command(TARGET vesko POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/res/index.htm $<TARGET_FILE_DIR:vesko>/index.htm)

# Checks of the shipped program that need no Windows: every statically
# imported function exists on Windows XP.
add_test(NAME Release.ImportsKnownOnWindowsXP COMMAND ${Python3_EXECUTABLE}
         ${CMAKE_SOURCE_DIR}/scripts/check_imports.py ${CMAKE_OBJDUMP} $<TARGET_FILE:vesko>)

# The idle yardstick for scripts/measure-idle: the least program doing the
# tick's unavoidable work each second. Not part of vesko.exe.
add_executable(vesko_idle_floor WIN32 ${CMAKE_SOURCE_DIR}/bench/floor/floor.cpp)
target_link_libraries(vesko_idle_floor PRIVATE iphlpapi shell32 user32 kernel32 ${VESKO_STATIC_LINK} ${VESKO_RELEASE_LINK}
    -municode)

# GoogleTest from Debian's sources, compiled with the MinGW compiler.
if(EXISTS /usr/src/googletest/CMakeLists.txt AND NOT VESKO_NO_E2E)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    include(GoogleTest)

    # A small program that only waits; the end-to-end scenarios start copies of
    # it as "another program" for the excluded-program list.
    add_executable(vesko_sleeper WIN32 ${CMAKE_SOURCE_DIR}/tests/e2e/sleeper/sleeper.cpp)
    target_link_libraries(vesko_sleeper PRIVATE ${VESKO_STATIC_LINK} -municode)

    # A library that leaves a mark when loaded; the planted-library scenario
    # puts copies of it beside vesko.exe under system libraries' names.
    add_library(vesko_marker SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/marker/marker.c)
    # Nothing but kernel32 and the C runtime: libssp would import advapi32,
    # whose own imports include names planted beside it.
    set_target_properties(vesko_marker PROPERTIES PREFIX "" OUTPUT_NAME marker)
    target_compile_options(vesko_marker PRIVATE -fno-stack-protector -U_FORTIFY_SOURCE)
    target_link_options(vesko_marker PRIVATE -fno-stack-protector)
    target_link_libraries(vesko_marker PRIVATE ${VESKO_STATIC_LINK})

    # A message hook the DPI scenario sets on the program's window thread: it
    # measures the window's captions inside the program, with its fonts.
    add_library(vesko_dpi_hook SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/dpi_hook/dpi_hook.cpp)
    set_target_properties(vesko_dpi_hook PROPERTIES PREFIX "" OUTPUT_NAME dpi_hook)
    # Exported by its plain name in the i686 build too (no "@12").
    target_link_options(vesko_dpi_hook PRIVATE -Wl,--kill-at)
    target_link_libraries(vesko_dpi_hook PRIVATE ${VESKO_STATIC_LINK})

    # The names planted beside the program. Wine prefers its own libraries;
    # told to take these from the program's folder first, as Windows does, it
    # passes the preference on to every program the driver starts. Two names
    # no program can keep out under Wine, so they are not planted: Wine's own
    # user32 imports version.dll (loaded before any program's first line),
    # and Wine's imm32 loads ole32.dll with the unrestricted search when the
    # first window is made. On Windows neither happens: Windows' user32 does
    # not import version.dll, and ole32.dll is one of the KnownDLLs.
    set(PLANTED_LIBRARIES iphlpapi,uxtheme,powrprof,comctl32,psapi,comdlg32,dwmapi,winmm,cryptbase,wtsapi32,propsys)

    file(GLOB E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
    # Run only by tests/release/zip_test.py and tests/e2e/dpi_change.sh, which prepare what they need.
    add_executable(vesko_e2e ${E2E_SOURCES} ${CMAKE_SOURCE_DIR}/tests/release/unpacked_zip_scenario.cpp
                   ${CMAKE_SOURCE_DIR}/tests/e2e/dpi/dpi_change_scenario.cpp)
    target_include_directories(vesko_e2e PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests/e2e)
    # Each scenario runs on the display and in the prefix of a free lane (scripts/test).
    set_target_properties(vesko_e2e PROPERTIES CROSSCOMPILING_EMULATOR "bash;${CMAKE_SOURCE_DIR}/scripts/in_lane;wine")
    target_link_libraries(vesko_e2e PRIVATE vesko_win gtest ole32 comctl32 ${VESKO_STATIC_LINK} -municode)
    target_compile_definitions(vesko_e2e PRIVATE
        VESKO_EXE_PATH="$<TARGET_FILE:vesko>" VESKO_SLEEPER_PATH="$<TARGET_FILE:vesko_sleeper>"
        VESKO_MARKER_PATH="$<TARGET_FILE:vesko_marker>" VESKO_PLANTED_LIBRARIES="${PLANTED_LIBRARIES}"
        VESKO_DPI_HOOK_PATH="$<TARGET_FILE:vesko_dpi_hook>"
        VESKO_HELP_PATH="${CMAKE_SOURCE_DIR}/res/index.htm"
        VESKO_SHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
    add_dependencies(vesko_e2e vesko vesko_sleeper vesko_marker vesko_dpi_hook)
    # One ctest entry per scenario; each is bounded so that a hang fails it.
    gtest_add_tests(TARGET vesko_e2e SOURCES ${E2E_SOURCES} TEST_LIST E2E_TESTS)
    set_tests_properties(${E2E_TESTS} PROPERTIES TIMEOUT 120)
    # This one waits for the clock: a countdown of two minutes and the minute after.
    set_tests_properties(PowerSaving.TheWarningCountsDownThenTheMachineHibernatesWakesAndReArms
                         PROPERTIES TIMEOUT 330)
    # This one waits for a fresh minute, the minute after it and a warning's whole minute.
    set_tests_properties(ExcludedPrograms.WhenAListedProgramEndsTheWholeWarningComesBeforeTheAction
                         PROPERTIES TIMEOUT 240)
    # This one waits for a condition to count its first minute.
    set_tests_properties(StatusOutlook.TheMemoryMarkCountsAndTheSummaryNamesMethodTimeAndTheListedProgram
                         PROPERTIES TIMEOUT 180)
    # These wait for a running time to pass twice: before and after a pause or a resume.
    set_tests_properties(PowerSaving.AfterAResumeTheUptimeConditionHoldsAnew
                         TrayMenu.SwitchingOnAfterAPauseGivesTheFullDurationAgain PROPERTIES TIMEOUT 330)
    # The release zips of both builds; this build's own zip unpacked and started as a user would.
    if(VESKO_ARCH STREQUAL "i686")
        set(VESKO_PACKED ${CMAKE_BINARY_DIR}/../win64 ${CMAKE_BINARY_DIR} win32)
    else()
        set(VESKO_WIN32_BUILD ${CMAKE_BINARY_DIR}/../win32 CACHE PATH "The i686 build packed beside this one")
        set(VESKO_PACKED ${CMAKE_BINARY_DIR} ${VESKO_WIN32_BUILD} win64)
    endif()
    add_test(NAME Release.UnpackedZipStartsAndKeepsItsFilesBesideIt COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/in_lane ${Python3_EXECUTABLE}
             ${CMAKE_SOURCE_DIR}/tests/release/zip_test.py ${VESKO_PACKED} $<TARGET_FILE:vesko_e2e>)
    set_tests_properties(Release.UnpackedZipStartsAndKeepsItsFilesBesideIt PROPERTIES TIMEOUT 180)
    set_tests_properties(PlantedLibraries.NoneLoadsWhileTheProgramStartsTicksOpensItsDialogsAndWritesItsLink
        PROPERTIES ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml=\\;winemenubuilder.exe=d\\;${PLANTED_LIBRARIES}=n,b")
    # An automatic power-off with a read-only log ends the session too.
    add_test(NAME PowerSaving.AReadOnlyLogNeverKeepsThePowerOffFromComing
             COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/in_lane bash ${CMAKE_SOURCE_DIR}/tests/e2e/read_only_log_power_off.sh $<TARGET_FILE:vesko_e2e>)
    set_tests_properties(PowerSaving.AReadOnlyLogNeverKeepsThePowerOffFromComing PROPERTIES TIMEOUT 180)
    # A program killed from outside at random moments of an Apply: the settings file holds all or none.
    add_test(NAME SettingsWindow.AnApplyKilledAtAnyMomentLeavesAllOfItOrNone
             COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/in_lane bash ${CMAKE_SOURCE_DIR}/tests/e2e/settings_apply_kill.sh $<TARGET_FILE:vesko_e2e> 40)
    set_tests_properties(SettingsWindow.AnApplyKilledAtAnyMomentLeavesAllOfItOrNone PROPERTIES TIMEOUT 600)
    # The settings window moved to 144 DPI while it runs, on a desktop where it fits.
    add_test(NAME DpiChange.TheRunningSettingsWindowTakes144DpiAndLooksAsOneStartedThere
             COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/in_lane bash ${CMAKE_SOURCE_DIR}/tests/e2e/dpi_change.sh $<TARGET_FILE:vesko_e2e>)
    set_tests_properties(DpiChange.TheRunningSettingsWindowTakes144DpiAndLooksAsOneStartedThere PROPERTIES TIMEOUT 180)
    # The two forced commands end the whole Wine session; a script outside it checks them.
    foreach(key F C)
        set(name TrayMenuForced.Key${key}EndsTheSessionAfterItsLogLine)
        add_test(NAME ${name} COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/in_lane bash ${CMAKE_SOURCE_DIR}/tests/e2e/forced_commands.sh
                 $<TARGET_FILE:vesko_e2e> ${key} "ケルダン!を正常に終了しWindowsを強制終了しました")
        set_tests_properties(${name} PROPERTIES TIMEOUT 150)
    endforeach()
    # Run in lanes (scripts/test), the scenarios that wait for the clock longest
    # start first, so that none ends the run alone.
    set_tests_properties(PowerSaving.AfterAResumeTheUptimeConditionHoldsAnew
                         PowerSaving.TheWarningCountsDownThenTheMachineHibernatesWakesAndReArms
                         TrayMenu.SwitchingOnAfterAPauseGivesTheFullDurationAgain
                         ExcludedPrograms.WhenAListedProgramEndsTheWholeWarningComesBeforeTheAction
                         StatusOutlook.TheMemoryMarkCountsAndTheSummaryNamesMethodTimeAndTheListedProgram
                         SettingsWindow.AnApplyKilledAtAnyMomentLeavesAllOfItOrNone
                         ProgramEnd.NothingBeforeTheJobRunsNorWhileItRunsThenTheWarningAndTheHibernation
                         Weekdays.ADailyTimeWaitsForItsDayAndActsTodayOnceTodayIsTicked
                         PROPERTIES COST 1000)
    # This one waits for the job's minute and the warning's minute.
    set_tests_properties(ProgramEnd.NothingBeforeTheJobRunsNorWhileItRunsThenTheWarningAndTheHibernation
                         PROPERTIES TIMEOUT 200)
    # This one lets a daily time's minute pass, then waits up to two minutes for the next.
    set_tests_properties(Weekdays.ADailyTimeWaitsForItsDayAndActsTodayOnceTodayIsTicked PROPERTIES TIMEOUT 330)
endif()
