# Read by cpack before it packages.  dpkg-shlibdeps finds libVelkor.so.1,
# which the tools and dev packages need, in the runtime package's staging
# tree; the dependency it writes is then on libvelkor1.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
      "${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/${CPACK_SYSTEM_NAME}/DEB/${CPACK_PACKAGE_FILE_NAME}/runtime${CPACK_PACKAGING_INSTALL_PREFIX}/lib")
endif()
