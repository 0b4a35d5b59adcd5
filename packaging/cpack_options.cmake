# Read by cpack before it packages.  dpkg-shlibdeps finds libVelkor.so.1,
# libvelkor_epc.so.1, libvelkor_mqtt.so.1 and libvelkor_app.so.1, which the other packages need,
# in their packages' staging trees.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "")
  foreach(group runtime epc mqtt app)
    list(APPEND CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
         "${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/${CPACK_SYSTEM_NAME}/DEB/${CPACK_PACKAGE_FILE_NAME}/${group}${CPACK_PACKAGING_INSTALL_PREFIX}/lib")
  endforeach()
endif()
