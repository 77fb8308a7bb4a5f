# Win32 build: the program, and its window-level tests run under Wine.
enable_language(RC)
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
# The 32-bit exe may use the whole 4 GiB that a 64-bit Windows gives a 32-bit process: room for a
# large file shown, another being read, and a copy of all of it on the clipboard.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -Wl,--large-address-aware")
endif()
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)

file(GLOB PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/*.cpp)
file(GLOB FORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/forms/*.cpp)
add_library(corvale_app STATIC ${PLATFORM_SOURCES} ${FORM_SOURCES})
target_include_directories(corvale_app PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(corvale_app PUBLIC corvale_core comctl32 comdlg32 shell32 windowscodecs ole32 oleaut32 gdi32 user32 advapi32 kernel32)

# The resources are an object library so the tests get the same icon, images and dialogs.
add_library(corvale_res OBJECT ${CMAKE_SOURCE_DIR}/resources/corvalex.rc)
set_property(SOURCE ${CMAKE_SOURCE_DIR}/resources/corvalex.rc APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_SOURCE_DIR}/resources/mainicon.ico ${CMAKE_SOURCE_DIR}/resources/toolbar.bmp
  ${CMAKE_SOURCE_DIR}/resources/toolbar24.bmp
  ${CMAKE_SOURCE_DIR}/resources/corvalex.manifest
  ${CMAKE_SOURCE_DIR}/resources/picture_options.rc ${CMAKE_SOURCE_DIR}/resources/resource.h)

add_executable(corvalex WIN32 ${CMAKE_SOURCE_DIR}/corvalex.cpp $<TARGET_OBJECTS:corvale_res>)
target_link_libraries(corvalex PRIVATE corvale_app)

file(GLOB WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp)
add_executable(win32_tests ${WIN32_TEST_SOURCES} $<TARGET_OBJECTS:corvale_res>)
target_link_libraries(win32_tests PRIVATE corvale_app GTest::gtest GTest::gmock)
add_dependencies(win32_tests corvalex)
target_compile_definitions(win32_tests PRIVATE CORVALEX_EXE="$<TARGET_FILE:corvalex>")
gtest_discover_tests(win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT 120)

file(GLOB BENCH_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/win32_*.cpp)
foreach(src ${BENCH_WIN32_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src} $<TARGET_OBJECTS:corvale_res>)
  target_compile_options(${name} PRIVATE -O2)
  target_link_libraries(${name} PRIVATE corvale_app)
endforeach()
