# pip installs bindings/python into a fresh virtual environment that also
# holds the installed SDK (the libraries and the dev component), and an emulated
# inventory runs from there with no variable telling the binding where its
# libraries are.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DSOURCE_DIR=... -DVERSION=x.y.z
#         -DPYTHON=... -P check_python_install.cmake
cmake_minimum_required(VERSION 3.24)
include(${CMAKE_CURRENT_LIST_DIR}/run_checked.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(venv ${WORK_DIR}/venv)
velkor_run_checked(OUTPUT ignored COMMAND ${PYTHON} -m venv ${venv})
foreach(component runtime epc mqtt app dev)
  velkor_run_checked(OUTPUT ignored
    COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${venv} --component ${component})
endforeach()

# Nothing to download: the build backend is in the tree.
velkor_run_checked(OUTPUT ignored
  COMMAND ${CMAKE_COMMAND} -E env PIP_DISABLE_PIP_VERSION_CHECK=1 PIP_NO_CACHE_DIR=1
          ${venv}/bin/python -m pip install -q ${SOURCE_DIR}/bindings/python)
velkor_run_checked(OUTPUT shown COMMAND ${venv}/bin/python -m pip show velkor)
velkor_expect_output("${shown}" "\nVersion: ${VERSION}\n" "the installed distribution's version")

velkor_run_checked(OUTPUT run
  COMMAND ${CMAKE_COMMAND} -E env --unset=VELKOR_LIBRARY --unset=VELKOR_EMULATOR_LIBRARY
          --unset=VELKOR_APP_LIBRARY
          --unset=PYTHONPATH --unset=LD_LIBRARY_PATH
          ${venv}/bin/python ${CMAKE_CURRENT_LIST_DIR}/emulated_inventory.py
  WORKING_DIRECTORY ${WORK_DIR})
velkor_expect_output("${run}" "library ${venv}/lib/libVelkor\\.so[^\n]*\n" "the library loaded")
velkor_expect_output("${run}" "emulator ${venv}/lib/libvelkor_emulator\\.so\n" "the emulator loaded")
velkor_expect_output("${run}" "mqtt ${venv}/lib/libvelkor_mqtt\\.so[^\n]*\n" "the publisher loaded")
velkor_expect_output("${run}" "epc ${venv}/lib/libvelkor_epc\\.so[^\n]*\n" "the codec loaded")
velkor_expect_output("${run}" "core ${venv}/lib/libvelkor_app\\.so[^\n]*\n" "the core loaded")
velkor_expect_output("${run}" "\n6 tags\n$" "the emulated inventory")
