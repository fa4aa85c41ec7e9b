# Assembles the plug-in as a studio installs it: Trellic/ with the descriptor, the modules' sources (their specs
# included), the icon the Plugins window shows and the list of what ships beside the binaries (Config/FilterPlugin.ini),
# and nothing of the stand-in, the tests, the samples or the build.
if(NOT DEFINED SOURCE_DIR OR NOT DEFINED OUTPUT_DIR)
	message(FATAL_ERROR "Usage: cmake -DSOURCE_DIR=<repo> -DOUTPUT_DIR=<folder> -P PackagePlugin.cmake")
endif()

set(PluginDir "${OUTPUT_DIR}/Trellic")
file(REMOVE_RECURSE "${PluginDir}")
file(MAKE_DIRECTORY "${PluginDir}")
file(COPY "${SOURCE_DIR}/Trellic.uplugin" DESTINATION "${PluginDir}")
file(COPY "${SOURCE_DIR}/Source/" DESTINATION "${PluginDir}/Source" PATTERN "CMakeLists.txt" EXCLUDE)
# What FilterPlugin.ini lists: the plug-in's configuration and its resources, whole.
file(COPY "${SOURCE_DIR}/Config/" DESTINATION "${PluginDir}/Config")
file(COPY "${SOURCE_DIR}/Resources/" DESTINATION "${PluginDir}/Resources")
message(STATUS "Plug-in assembled in ${PluginDir}")
