# The Debian package (CPack): lorvane and lorvane-cli in /usr/bin, the desktop
# entry, the icon in the hicolor theme, the man pages and the package's
# documents. Included by the Linux build; tools/package.sh runs CPack on
# build/release. The package's sources are in packaging/linux/.
set(LORVANE_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging/linux)
set(LORVANE_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)

# `cmake --install` and CPack install what is already built: tools/package.sh
# builds the packaged targets alone, not the test programs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian's hardening of the packaged programs, as dpkg-buildflags gives it:
# fortified libc calls in optimised builds, and a global offset table made
# read-only at start.
foreach(target lorvane_core lorvane_dialog lorvane_qt lorvane lorvane-cli)
  target_compile_definitions(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endforeach()
target_link_options(lorvane PRIVATE -Wl,-z,relro,-z,now)
target_link_options(lorvane-cli PRIVATE -Wl,-z,relro,-z,now)

# Generated files: the icon as PNGs, the man pages and the changelog
# compressed as Debian wants them (gzip -n: no name or time inside, so the
# same sources give the same bytes).
add_custom_command(OUTPUT ${LORVANE_PACKAGING_OUT}/lorvane-16.png ${LORVANE_PACKAGING_OUT}/lorvane-32.png
                          ${LORVANE_PACKAGING_OUT}/lorvane-48.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LORVANE_PACKAGING_OUT}
  COMMAND lorvane-write-icons ${LORVANE_PACKAGING_OUT}
  DEPENDS lorvane-write-icons
  COMMENT "Writing the hicolor icons")
configure_file(${LORVANE_PACKAGING_DIR}/changelog.in ${LORVANE_PACKAGING_OUT}/changelog @ONLY)
set(LORVANE_GZIPPED)
foreach(source ${LORVANE_PACKAGING_DIR}/lorvane.1 ${LORVANE_PACKAGING_DIR}/lorvane-cli.1
               ${LORVANE_PACKAGING_OUT}/changelog)
  get_filename_component(name ${source} NAME)
  add_custom_command(OUTPUT ${LORVANE_PACKAGING_OUT}/${name}.gz
    COMMAND gzip -9 -n -c ${source} > ${LORVANE_PACKAGING_OUT}/${name}.gz
    DEPENDS ${source}
    COMMENT "Compressing ${name}")
  list(APPEND LORVANE_GZIPPED ${LORVANE_PACKAGING_OUT}/${name}.gz)
endforeach()
add_custom_target(lorvane-package-files ALL DEPENDS
  ${LORVANE_PACKAGING_OUT}/lorvane-16.png ${LORVANE_PACKAGING_OUT}/lorvane-32.png
  ${LORVANE_PACKAGING_OUT}/lorvane-48.png ${LORVANE_GZIPPED})

install(TARGETS lorvane lorvane-cli RUNTIME DESTINATION bin)
# After the strip of a packaged install, what dh_strip also removes: the
# compilers' version notes.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program lorvane lorvane-cli)
      execute_process(COMMAND ${CMAKE_STRIP} --remove-section=.comment --remove-section=.note
        \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/\${program} COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")
install(FILES ${LORVANE_PACKAGING_DIR}/lorvane.desktop DESTINATION share/applications)
foreach(side 16 32 48)
  install(FILES ${LORVANE_PACKAGING_OUT}/lorvane-${side}.png
    DESTINATION share/icons/hicolor/${side}x${side}/apps RENAME lorvane.png)
endforeach()
install(FILES ${LORVANE_PACKAGING_OUT}/lorvane.1.gz ${LORVANE_PACKAGING_OUT}/lorvane-cli.1.gz
  DESTINATION share/man/man1)
install(FILES ${LORVANE_PACKAGING_DIR}/copyright ${LORVANE_PACKAGING_OUT}/changelog.gz
  DESTINATION share/doc/lorvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tobrin Ellaste")
set(CPACK_PACKAGE_CONTACT "Lorvane developers <lorvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "repair the Chinese waypoint names of GPS TrackMaker files")
set(CPACK_PACKAGE_DESCRIPTION
"Lorvane repairs GPS TrackMaker (.gtm) files whose Traditional Chinese (Big5,
code page 950) waypoint names were lost: where a Chinese character stood,
the file holds zero bytes. It reads the Garmin file the waypoints came from
(.wtr, .evo, MapSource .mps and .gdb, or .gpx), finds the waypoint each GTM
waypoint was made from and writes the full names back into the GTM file,
leaving every other byte as it was.

The package holds the dialog (lorvane) and the command line (lorvane-cli).")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries from the binaries; Qt's platform plugins (the dialog on an X11
# or Wayland desktop) are loaded at run time, so no binary names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# A font with the Traditional Chinese characters of the dialog's texts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-arphic-uming | fonts-noto-cjk")
include(CPack)
