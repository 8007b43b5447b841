# Compiles a folder of resources into one generated C++ source file with
# the bundle compiler (tools/bundle_compiler): the string tables
# (strings*.txt), the XRC files (*.xrc) and the images (icons/<id>.svg,
# drawn to PNG at their own size).
#
#   kv_resource_sources(<out_var> <folder>)
#
# sets <out_var> to the generated file, which defines the tables of
# resources/bundle_data.h; resources/bundle.cpp serves them through the
# bundle's entry points.
#
#   kv_resource_ids(<target> <folder>)
#
# makes the header-only library <target>: for each string table
# <folder>/<table>.txt the header generated/<folder>/ids/<table>.h in the
# build folder (included as "resources/ids/strings_map.h"), the ids of the
# table's named strings in namespace ids, and for each XRC file
# <folder>/<file>.xrc the header generated/<folder>/ids/<file>.h, the ids
# of its objects' symbols in namespace xrc::<file>. What links <target> is
# compiled only once the headers are written.
find_program(KV_RSVG_CONVERT rsvg-convert REQUIRED)

function(kv_string_tables out_var folder)
  file(GLOB tables CONFIGURE_DEPENDS ${folder}/strings*.txt)
  set(${out_var} ${tables} PARENT_SCOPE)
endfunction()

function(kv_resource_sources out_var folder)
  get_filename_component(name ${folder} NAME)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}_resources)

  file(GLOB svgs CONFIGURE_DEPENDS ${folder}/icons/*.svg)
  set(pngs)
  set(image_arguments)
  foreach(svg ${svgs})
    get_filename_component(id ${svg} NAME_WE)
    set(png ${work}/icons/${id}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${work}/icons
      COMMAND ${KV_RSVG_CONVERT} --format=png --output=${png} ${svg}
      DEPENDS ${svg}
      COMMENT "Drawing image ${id}")
    list(APPEND pngs ${png})
    list(APPEND image_arguments --image ${id}=${png})
  endforeach()

  kv_string_tables(string_tables ${folder})
  set(string_arguments)
  foreach(table ${string_tables})
    list(APPEND string_arguments --strings ${table})
  endforeach()

  file(GLOB xrcs CONFIGURE_DEPENDS ${folder}/*.xrc)
  set(xrc_arguments)
  foreach(xrc ${xrcs})
    list(APPEND xrc_arguments --xrc ${xrc})
  endforeach()

  set(generated ${work}/bundle_data.cpp)
  add_custom_command(OUTPUT ${generated}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${work}
    COMMAND bundle_compiler source ${generated}
            ${string_arguments} ${xrc_arguments} ${image_arguments}
    DEPENDS bundle_compiler ${string_tables} ${xrcs} ${pngs}
    COMMENT "Compiling the resources of ${name}")
  set(${out_var} ${generated} PARENT_SCOPE)
endfunction()

function(kv_resource_ids target folder)
  file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${folder})
  set(root ${PROJECT_BINARY_DIR}/generated)
  set(ids ${root}/${relative}/ids)
  kv_string_tables(string_tables ${folder})
  file(GLOB xrcs CONFIGURE_DEPENDS ${folder}/*.xrc)
  set(headers)
  set(arguments)
  foreach(table ${string_tables})
    get_filename_component(stem ${table} NAME_WE)
    list(APPEND headers ${ids}/${stem}.h)
    list(APPEND arguments --strings ${table})
  endforeach()
  foreach(xrc ${xrcs})
    get_filename_component(stem ${xrc} NAME_WE)
    list(APPEND headers ${ids}/${stem}.h)
    list(APPEND arguments --xrc ${xrc})
  endforeach()
  # The compiler rewrites a header only when its ids change, so a changed
  # text or layout recompiles the bundle and nothing else.
  add_custom_command(OUTPUT ${headers}
    COMMAND bundle_compiler ids ${ids} ${arguments}
    DEPENDS bundle_compiler ${string_tables} ${xrcs}
    COMMENT "Writing the string and XRC ids of ${relative}")
  add_custom_target(${target}_headers DEPENDS ${headers})
  add_library(${target} INTERFACE)
  target_include_directories(${target} INTERFACE ${root})
  # An interface library's dependencies pass to what links it.
  add_dependencies(${target} ${target}_headers)
endfunction()

# A converter's program: its resources linked in and served through the same
# entry points as the flight computer's bundle, the executable over the
# converter's window library kv_<folder>_gui, and the window tests
# (tests/gui/*_test.cpp) linked with both so they drive the real windows.
function(kv_converter_program folder program)
  set(gui kv_${folder}_gui)
  set(resources kv_${folder}_resources)
  kv_resource_sources(resource_sources ${CMAKE_CURRENT_SOURCE_DIR}/resources)
  add_library(${resources} STATIC ${PROJECT_SOURCE_DIR}/resources/bundle.cpp ${resource_sources})
  target_include_directories(${resources} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/resources)
  target_compile_definitions(${resources} PRIVATE "KV_RESOURCE_VERSION=1,3,3,0")
  kv_warnings(${resources})

  add_executable(${program} program/main.cpp)
  target_link_libraries(${program} PRIVATE ${gui} ${resources})
  set_target_properties(${program} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
  kv_warnings(${program})

  if(TARGET ${folder}_gui_tests)
    target_link_libraries(${folder}_gui_tests PRIVATE ${gui} ${resources})
  endif()
endfunction()
