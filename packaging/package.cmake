# Everything that turns the built programs into an installed product: the
# manual pages (made from the programs' --help), the bash completion of
# vrx4ctl, the desktop entry and its AppStream metadata, the package's
# copyright and changelog, and the Debian package itself (`cpack -G DEB` in
# the build folder). scripts/check_package.sh checks the result with
# lintian, desktop-file-validate and appstreamcli.
include(GNUInstallDirs)

# Who answers for the package, and the names the desktop knows it by. The
# project has no domain of its own yet: these use example.org, which is
# reserved for this use and never reaches anyone. Set them when it has one.
set(VRX4_PACKAGE_MAINTAINER "VRX4 Maintainers <vrx4@example.org>" CACHE STRING
    "Maintainer of the Debian package: Name <address>")
set(VRX4_APP_ID "org.example.vrx4" CACHE STRING
    "Reverse-DNS id of the desktop program (names its .desktop and metainfo files)")
set(VRX4_WEB_ROOT "https://example.org/vrx4" CACHE STRING
    "Web address under which the AppStream screenshots are published")

set(vrx4_packaging_dir ${CMAKE_CURRENT_LIST_DIR})
set(vrx4_packaging_out ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${vrx4_packaging_out})

# --- Changelog ----------------------------------------------------------
# Its newest entry must be this version: a version bump without an entry
# stops here rather than producing a package whose changelog lags behind.
file(STRINGS ${vrx4_packaging_dir}/changelog vrx4_changelog_lines)
list(GET vrx4_changelog_lines 0 vrx4_changelog_head)
if(NOT vrx4_changelog_head MATCHES "^vrx4 \\(([^)]+)\\) ")
  message(FATAL_ERROR "packaging/changelog: the first line is not 'vrx4 (VERSION) ...'")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog starts with version ${CMAKE_MATCH_1}, the project is "
                      "${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION} at the top")
endif()
# The date of that entry dates the manual pages and the AppStream release,
# so that a rebuild gives the same files.
set(vrx4_release_date "")
foreach(line IN LISTS vrx4_changelog_lines)
  if(line MATCHES "^ -- .*>  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    set(day ${CMAKE_MATCH_1})
    set(year ${CMAKE_MATCH_3})
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(FIND months ${CMAKE_MATCH_2} month)
    math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
    if(month LESS 10)
      set(month 0${month})
    endif()
    set(vrx4_release_date ${year}-${month}-${day})
    break()
  endif()
endforeach()
if(vrx4_release_date STREQUAL "")
  message(FATAL_ERROR "packaging/changelog: the newest entry has no ' -- Name <address>  Date' line")
endif()

find_program(VRX4_GZIP gzip REQUIRED)
add_custom_command(
  OUTPUT ${vrx4_packaging_out}/changelog.gz
  COMMAND ${VRX4_GZIP} -9n -c ${vrx4_packaging_dir}/changelog > ${vrx4_packaging_out}/changelog.gz
  DEPENDS ${vrx4_packaging_dir}/changelog
  COMMENT "Compressing the changelog")

# --- Manual pages -------------------------------------------------------
# Each page is made from the freshly built program's --help, so the page
# and the help cannot say different things.
set(vrx4_man_programs vrx4ctl vrx4-sim)
if(TARGET vrx4)
  list(PREPEND vrx4_man_programs vrx4)
endif()
if(TARGET vrx4-report-pdf)
  list(APPEND vrx4_man_programs vrx4-report-pdf)
endif()
set(vrx4_man_pages)
foreach(program IN LISTS vrx4_man_programs)
  set(others ${vrx4_man_programs})
  list(REMOVE_ITEM others ${program})
  list(JOIN others " " see_also)
  set(extra)
  if(program STREQUAL "vrx4ctl")
    set(extra --commands)
  endif()
  set(page ${vrx4_packaging_out}/man/${program}.1)
  add_custom_command(
    OUTPUT ${page} ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${vrx4_packaging_out}/man
    COMMAND sh ${vrx4_packaging_dir}/man/make_manpage.sh --program $<TARGET_FILE:${program}> --name ${program}
            --version ${PROJECT_VERSION} --date ${vrx4_release_date} ${extra} --see-also "${see_also}"
            --out ${page}
    DEPENDS ${program} ${vrx4_packaging_dir}/man/make_manpage.sh ${vrx4_packaging_dir}/man/help_to_roff.awk
            ${vrx4_packaging_dir}/changelog
    COMMENT "Writing the manual page ${program}(1) from '${program} --help'"
    VERBATIM)
  list(APPEND vrx4_man_pages ${page}.gz)
endforeach()
add_custom_target(vrx4_packaging ALL DEPENDS ${vrx4_man_pages} ${vrx4_packaging_out}/changelog.gz)

install(FILES ${vrx4_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
configure_file(${vrx4_packaging_dir}/copyright.in ${vrx4_packaging_out}/copyright @ONLY)
install(FILES ${vrx4_packaging_out}/changelog.gz ${vrx4_packaging_out}/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${vrx4_packaging_dir}/completion/vrx4ctl
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# --- Desktop entry and AppStream metadata -------------------------------
# The entry lives beside the program's sources; it is installed under the
# reverse-DNS id that its AppStream component carries.
if(TARGET vrx4)
  get_target_property(vrx4_app_source_dir vrx4 SOURCE_DIR)
  install(FILES ${vrx4_app_source_dir}/vrx4.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          RENAME ${VRX4_APP_ID}.desktop)
  configure_file(${vrx4_packaging_dir}/vrx4.metainfo.xml.in
                 ${vrx4_packaging_out}/${VRX4_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${vrx4_packaging_out}/${VRX4_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# --- Debian package -----------------------------------------------------
# The Qt libraries the program links are found by dpkg-shlibdeps; the
# platform plugins are a package of their own. Binaries are stripped: the
# package carries no debug information.
set(CPACK_PACKAGE_NAME vrx4)
set(CPACK_PACKAGE_VENDOR "Tarvo")
set(CPACK_PACKAGE_CONTACT "${VRX4_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration and monitoring tool for VRX4 pressure regulators")
# The summary above is the first line; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "VRX4 configures and monitors the VRX4 electro-pneumatic pressure
regulator over a serial line: it reads and writes the regulator's BASE and
OPTION EEPROM areas with every write read back until it matches, shows
its live inputs and outputs, plots and records them, forces test values
and keeps whole configurations as text files.
.
The package holds the desktop program vrx4, the command-line tool vrx4ctl
for scripts and production lines (read, write, set, compare against a
golden file, monitor, commissioning reports as PDF through its helper
vrx4-report-pdf), and vrx4-sim, a simulated regulator on a
pseudo-terminal for trying both without hardware.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET vrx4)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)

# --- Tests --------------------------------------------------------------
if(VRX4_BUILD_TESTS)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/packaging ${CMAKE_BINARY_DIR}/tests/packaging)
endif()
