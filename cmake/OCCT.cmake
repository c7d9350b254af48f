# Open CASCADE Technology from Debian's packages: the include folder and the toolkits by name.
# (Debian's own CMake config of OCCT needs every module's development package installed; naming the
# toolkits avoids that.)
find_path(OCCT_INCLUDE_DIR Standard.hxx PATHS /usr/include/opencascade /usr/local/include/opencascade REQUIRED)
set(OCCT_TOOLKITS
  TKernel TKMath TKG2d TKG3d TKGeomBase TKBRep TKGeomAlgo TKTopAlgo TKPrim TKShHealing TKBO TKBool
  TKOffset TKMesh TKXSBase TKSTEPBase TKSTEPAttr TKSTEP209 TKSTEP TKSTL)
set(OCCT_LIBRARIES "")
foreach(tk IN LISTS OCCT_TOOLKITS)
  find_library(OCCT_${tk}_LIBRARY ${tk} REQUIRED)
  list(APPEND OCCT_LIBRARIES ${OCCT_${tk}_LIBRARY})
endforeach()
add_library(TAQ_occt INTERFACE)
target_include_directories(TAQ_occt SYSTEM INTERFACE ${OCCT_INCLUDE_DIR})
target_link_libraries(TAQ_occt INTERFACE ${OCCT_LIBRARIES})
