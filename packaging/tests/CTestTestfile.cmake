# The package tests, on what tools/package.sh wrote into dist/. tools/test.sh
# adds this folder to its combined test tree with subdirs().
set(LORVANE_ROOT ${CMAKE_CURRENT_LIST_DIR}/../..)
foreach(case dist windows deb lintian)
  add_test(packages.${case} bash ${LORVANE_ROOT}/tools/test-packages.sh ${case} ${LORVANE_ROOT}/dist)
endforeach()
set_tests_properties(packages.dist packages.lintian PROPERTIES TIMEOUT 120)
set_tests_properties(packages.windows packages.deb PROPERTIES TIMEOUT 300)
# Installing the .deb needs root; as another user the test is skipped.
set_tests_properties(packages.deb PROPERTIES SKIP_RETURN_CODE 77)
