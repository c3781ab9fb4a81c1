# Qt 6 or Qt 5.15, chosen by FLUID_QT_MAJOR (auto takes Qt 6 where it is installed), and the
# OpenGL libraries with EGL. Sets FLUID_QT to Qt5 or Qt6, and FLUID_QT_OPENGL_WIDGETS to the
# module that has QOpenGLWidget (a module of its own in Qt 6, part of Widgets in Qt 5).
set(fluid_qt_modules Core Gui Widgets Test)

if(FLUID_QT_MAJOR STREQUAL "auto")
  find_package(Qt6 QUIET COMPONENTS ${fluid_qt_modules} OpenGLWidgets)
  if(Qt6_FOUND)
    set(FLUID_QT Qt6)
  else()
    find_package(Qt5 5.15 REQUIRED COMPONENTS ${fluid_qt_modules})
    set(FLUID_QT Qt5)
  endif()
elseif(FLUID_QT_MAJOR STREQUAL "6")
  find_package(Qt6 REQUIRED COMPONENTS ${fluid_qt_modules} OpenGLWidgets)
  set(FLUID_QT Qt6)
elseif(FLUID_QT_MAJOR STREQUAL "5")
  find_package(Qt5 5.15 REQUIRED COMPONENTS ${fluid_qt_modules})
  set(FLUID_QT Qt5)
else()
  message(FATAL_ERROR "FLUID_QT_MAJOR is '${FLUID_QT_MAJOR}': use auto, 5 or 6")
endif()

if(FLUID_QT STREQUAL "Qt6")
  set(FLUID_QT_OPENGL_WIDGETS Qt6::OpenGLWidgets)
else()
  set(FLUID_QT_OPENGL_WIDGETS Qt5::Widgets)
endif()
message(STATUS "Building against ${FLUID_QT} ${${FLUID_QT}_VERSION}")

# EGL renders frames off screen, with no display: Mesa's surfaceless platform.
# EGL renders frames with no display; systems without it (macOS, Windows) build without.
find_package(OpenGL REQUIRED COMPONENTS OpenGL OPTIONAL_COMPONENTS EGL)
