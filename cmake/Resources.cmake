# Compiles every file under a folder into the program, reachable by its relative path.
function(qb_embed_resources out_var dir)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${dir} ${dir}/*)
  list(SORT files)
  set(generated ${CMAKE_BINARY_DIR}/generated/Resources.cpp)
  set(abs_files "")
  foreach(f IN LISTS files)
    list(APPEND abs_files ${dir}/${f})
  endforeach()
  string(REPLACE ";" "|" file_list "${files}")
  add_custom_command(
    OUTPUT ${generated}
    COMMAND ${CMAKE_COMMAND} -DDIR=${dir} -DOUT=${generated} "-DFILES=${file_list}"
            -P ${CMAKE_SOURCE_DIR}/cmake/EmbedResources.cmake
    DEPENDS ${abs_files} ${CMAKE_SOURCE_DIR}/cmake/EmbedResources.cmake
    COMMENT "Embedding resources"
    VERBATIM)
  set(${out_var} ${generated} PARENT_SCOPE)
endfunction()
