# `cmake --install` lays kelto out the Linux way: the programs with their Plugins and Languages
# (shared libraries) in <prefix>/lib/kelto, the data in <prefix>/share/kelto, and in
# <prefix>/bin the two commands, links to the programs, which find the rest from their own
# place and work in the user's folder ($XDG_DATA_HOME/kelto). tools/package.sh makes the
# Debian package from the same rules.
set(KELTO_INSTALL_PROGRAMS lib/kelto)
set(KELTO_INSTALL_DATA share/kelto)
set(library_permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

install(TARGETS kelto kelto-cli RUNTIME DESTINATION ${KELTO_INSTALL_PROGRAMS})
install(TARGETS kel_compare LIBRARY DESTINATION ${KELTO_INSTALL_PROGRAMS}/Plugins
  PERMISSIONS ${library_permissions})
get_property(shipped_languages GLOBAL PROPERTY KELTO_SHIPPED_LANGUAGES)
install(TARGETS ${shipped_languages} LIBRARY DESTINATION ${KELTO_INSTALL_PROGRAMS}/Languages
  PERMISSIONS ${library_permissions})
foreach(program kelto kelto-cli)
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(CREATE_LINK ../${KELTO_INSTALL_PROGRAMS}/${program}
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${program}\" SYMBOLIC)")
endforeach()

set(packages_dir "${PROJECT_SOURCE_DIR}/packages")
install(DIRECTORY "${packages_dir}/Coders" "${packages_dir}/Decoders"
  DESTINATION ${KELTO_INSTALL_DATA} FILE_PERMISSIONS ${library_permissions})
# The packages' links to the codec programs are made relative, as Debian wants links within
# /usr; a user's copy of a package gets them absolute again.
install(CODE "
  set(data \"\${CMAKE_INSTALL_PREFIX}/${KELTO_INSTALL_DATA}\")
  file(GLOB_RECURSE links LIST_DIRECTORIES false \"\$ENV{DESTDIR}\${data}/*\")
  foreach(link \${links})
    if(IS_SYMLINK \"\${link}\")
      file(READ_SYMLINK \"\${link}\" target)
      if(IS_ABSOLUTE \"\${target}\")
        string(REPLACE \"\$ENV{DESTDIR}\" \"\" installed \"\${link}\")
        get_filename_component(folder \"\${installed}\" DIRECTORY)
        file(RELATIVE_PATH relative \"\${folder}\" \"\${target}\")
        file(REMOVE \"\${link}\")
        file(CREATE_LINK \"\${relative}\" \"\${link}\" SYMBOLIC)
      endif()
    endif()
  endforeach()")
install(FILES "${packages_dir}/Base.xml" DESTINATION ${KELTO_INSTALL_DATA})
install(FILES "${KELTO_WORK_DIR}/Manual/Manual.pdf" DESTINATION ${KELTO_INSTALL_DATA}/Manual)

# The desktop's parts: menu entry, metadata for software centres, icons.
install(FILES "${PROJECT_SOURCE_DIR}/data/org.kelto.Kelto.desktop" DESTINATION share/applications)
install(FILES "${PROJECT_SOURCE_DIR}/data/org.kelto.Kelto.metainfo.xml" DESTINATION share/metainfo)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/icons/hicolor" DESTINATION share/icons)
install(FILES "${PROJECT_SOURCE_DIR}/icons/kelto.svg" DESTINATION share/icons/hicolor/scalable/apps)

# Manual pages and the package's documents, compressed as Debian wants them.
set(compressed_dir "${CMAKE_BINARY_DIR}/compressed")
set(compressed)
foreach(pair "docs/manual/kelto.1:kelto.1.gz" "docs/manual/kelto-cli.1:kelto-cli.1.gz"
             "data/changelog:changelog.gz")
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT "${compressed_dir}/${target}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${compressed_dir}"
    COMMAND gzip -9 -n -c "${PROJECT_SOURCE_DIR}/${source}" > "${compressed_dir}/${target}"
    DEPENDS "${PROJECT_SOURCE_DIR}/${source}")
  list(APPEND compressed "${compressed_dir}/${target}")
endforeach()
add_custom_target(kelto_compressed_docs ALL DEPENDS ${compressed})
install(FILES "${compressed_dir}/kelto.1.gz" "${compressed_dir}/kelto-cli.1.gz"
  DESTINATION share/man/man1)
install(FILES "${compressed_dir}/changelog.gz" "${PROJECT_SOURCE_DIR}/data/copyright"
  DESTINATION share/doc/kelto)

# The Debian package (tools/package.sh). The dependencies on shared libraries are found from
# the binaries; MediaInfo is loaded at run time and Qt's window system plug-ins are a package
# of their own, so both are named here.
# cpack installs what tools/package.sh built, without building everything else first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelto)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "kelto developers <developers@kelto.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch audio converter using real codec programs")
set(CPACK_PACKAGE_DESCRIPTION "kelto converts whole lists of audio files (single files,
folders with their subfolders, dropped files, M3U playlists, and the tracks of
images split by their cue sheets) with a coder and preset of the user's choice.
It runs the real command-line codec programs on several files at once and
checks every output before it counts. It keeps tags and front covers, can write
ReplayGain and R128 loudness tags, can keep folder trees, and comes with
kelto-cli for use without a window and the SampleMatch plug-in.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kelto.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libmediainfo0v5, qt6-qpa-plugins, libebur128-1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "flac, lame, vorbis-tools, opus-tools, wavpack, speex, ffmpeg, musepack-tools, qt6-translations-l10n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX "${CMAKE_BINARY_DIR}/package")
include(CPack)
