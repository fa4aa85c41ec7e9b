# libedit, the BSD line editor (Debian's libedit-dev), through its readline-compatible interface: the editor host's
# prompt edits lines and keeps their history with it. Defines LibEdit::LibEdit.
find_path(LibEdit_INCLUDE_DIR editline/readline.h)
find_library(LibEdit_LIBRARY edit)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(LibEdit REQUIRED_VARS LibEdit_LIBRARY LibEdit_INCLUDE_DIR
	REASON_FAILURE_MESSAGE "Install Debian's libedit-dev (Tools/InstallPrerequisites.sh run does it).")

if(LibEdit_FOUND AND NOT TARGET LibEdit::LibEdit)
	add_library(LibEdit::LibEdit UNKNOWN IMPORTED)
	set_target_properties(LibEdit::LibEdit PROPERTIES IMPORTED_LOCATION "${LibEdit_LIBRARY}" INTERFACE_INCLUDE_DIRECTORIES "${LibEdit_INCLUDE_DIR}")
endif()
mark_as_advanced(LibEdit_INCLUDE_DIR LibEdit_LIBRARY)
