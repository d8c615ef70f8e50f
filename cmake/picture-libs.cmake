# The picture libraries of vormkit-pack as one target, vk_picture_libs:
# Debian's packages in the native tree; in the MinGW trees the static builds
# that scripts/build-picture-libs makes in build/deps, listed in link order
# (libtiff needs libjpeg and zlib, libpng needs zlib).
if(WIN32)
  set(VK_PICTURE_DEPS ${CMAKE_SOURCE_DIR}/build/deps CACHE PATH "where the MinGW picture libraries are built")
  add_library(vk_picture_libs INTERFACE)
  foreach(entry exif:libexif webpdemux:libwebp webp:libwebp tiff:tiff png16:libpng gif:giflib)
    string(REPLACE ":" ";" parts ${entry})
    list(GET parts 0 lib)
    list(GET parts 1 package)
    set(prefix ${VK_PICTURE_DEPS}/${package}-mingw-${CMAKE_SYSTEM_PROCESSOR})
    add_library(vk_picture_${lib} STATIC IMPORTED)
    set_target_properties(vk_picture_${lib} PROPERTIES IMPORTED_LOCATION ${prefix}/lib/lib${lib}.a
      INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include)
    target_link_libraries(vk_picture_libs INTERFACE vk_picture_${lib})
  endforeach()
  set(prefix ${VK_PICTURE_DEPS}/zlib-mingw-${CMAKE_SYSTEM_PROCESSOR})
  add_library(vk_picture_z STATIC IMPORTED)
  set_target_properties(vk_picture_z PROPERTIES IMPORTED_LOCATION ${prefix}/lib/libz.a
    INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include)
  target_link_libraries(vk_picture_libs INTERFACE vk_jpeg vk_picture_z)
else()
  find_package(PNG REQUIRED)
  find_package(GIF REQUIRED)
  find_package(TIFF REQUIRED)
  find_path(VK_WEBP_INCLUDE webp/demux.h REQUIRED)
  find_library(VK_WEBP_LIBRARY webp REQUIRED)
  find_library(VK_WEBPDEMUX_LIBRARY webpdemux REQUIRED)
  find_path(VK_EXIF_INCLUDE libexif/exif-data.h REQUIRED)
  find_library(VK_EXIF_LIBRARY exif REQUIRED)
  add_library(vk_picture_libs INTERFACE)
  target_include_directories(vk_picture_libs SYSTEM INTERFACE ${VK_WEBP_INCLUDE} ${VK_EXIF_INCLUDE})
  target_link_libraries(vk_picture_libs INTERFACE ${VK_EXIF_LIBRARY} ${VK_WEBPDEMUX_LIBRARY} ${VK_WEBP_LIBRARY}
                        TIFF::TIFF PNG::PNG GIF::GIF vk_jpeg)
endif()
