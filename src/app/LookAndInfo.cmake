# The application shell's look and information: skins and their pictures, the built-in
# background, the JPEG decoder, the main window's translation table, the about box, the
# information pages, and the dialogs created after the main window. Included by CMakeLists.txt.
find_package(JPEG REQUIRED)

target_sources(qvr_app PRIVATE
    BackgroundPicture.cpp
    CaptionFit.cpp
    fAboutQVR.cpp
    fMainQVRInfo.cpp
    fMainQVRLook.cpp
    JpegImage.cpp
    LanguageAddresses.cpp
    LinkLabel.h
    Skins.cpp
    StartupDialogs.cpp
)
target_link_libraries(qvr_app PUBLIC qvr_lang_forms qvr_cdrip_dialogs PRIVATE JPEG::JPEG)
qt_add_resources(qvr_app main_form_translations
    PREFIX /translations
    FILES fMainQVR.translation)

# Skin N's pictures: prefix + size class + ".jpg" (skin 1 has the prefix "2-", skin 2 "1-").
set(QUORVANE_SKIN_PREFIXES 1=2- 2=1- 3=3- 4=4- 5=5- 6=6- 7=7- 8=8- 9=9- 10=10-)
set(QUORVANE_SIZE_CLASSES 768 900 1080 1440 2160)
set(skin_folder ${QUORVANE_PROGRAM_DIR}/recom_GR)
set(pictures)
foreach(entry IN LISTS QUORVANE_SKIN_PREFIXES)
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 number)
    list(GET pair 1 prefix)
    set(outputs)
    foreach(size_class IN LISTS QUORVANE_SIZE_CLASSES)
        list(APPEND outputs ${skin_folder}/${prefix}${size_class}.jpg)
    endforeach()
    add_custom_command(OUTPUT ${outputs}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${skin_folder}
        COMMAND skingen skin ${number} ${prefix} ${skin_folder}
        DEPENDS skingen
        COMMENT "Drawing the pictures of skin ${number}"
        VERBATIM)
    list(APPEND pictures ${outputs})
endforeach()
add_custom_command(OUTPUT ${skin_folder}/m_about.jpg
    COMMAND ${CMAKE_COMMAND} -E make_directory ${skin_folder}
    COMMAND skingen about ${skin_folder}/m_about.jpg
    DEPENDS skingen
    COMMENT "Drawing the about picture"
    VERBATIM)
list(APPEND pictures ${skin_folder}/m_about.jpg)
add_custom_target(qvr_pictures ALL DEPENDS ${pictures})
add_dependencies(quorvane qvr_pictures)
install(DIRECTORY ${skin_folder}/ DESTINATION ${QUORVANE_INSTALL_DIR}/recom_GR)

set(builtin_background ${CMAKE_CURRENT_BINARY_DIR}/BuiltInBackground.cpp)
add_custom_command(OUTPUT ${builtin_background}
    COMMAND skingen builtin ${builtin_background}
    DEPENDS skingen
    COMMENT "Drawing the built-in background"
    VERBATIM)
target_sources(qvr_app PRIVATE ${builtin_background})

# The information pages, opened from the program folder as file addresses.
file(GLOB_RECURSE info_pages CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/data/info
     ${PROJECT_SOURCE_DIR}/data/info/*)
foreach(page IN LISTS info_pages)
    configure_file(${PROJECT_SOURCE_DIR}/data/info/${page} ${QUORVANE_PROGRAM_DIR}/info/${page}
                   COPYONLY)
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/info/ DESTINATION ${QUORVANE_INSTALL_DIR}/info)
