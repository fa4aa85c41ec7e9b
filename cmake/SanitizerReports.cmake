# The folder that sanitized programs write their reports to: emptied before the tests (ACTION=Clear), and after them
# (ACTION=Check) a failure that shows every report when it holds any.
# cmake -DREPORTS=<folder> -DACTION=Clear|Check -P SanitizerReports.cmake

if(ACTION STREQUAL "Clear")
	file(REMOVE_RECURSE "${REPORTS}")
	file(MAKE_DIRECTORY "${REPORTS}")
elseif(ACTION STREQUAL "Check")
	file(GLOB Reports "${REPORTS}/*")
	if(Reports)
		foreach(Report IN LISTS Reports)
			file(READ "${Report}" Text)
			message("== ${Report}\n${Text}")
		endforeach()
		list(LENGTH Reports Count)
		message(FATAL_ERROR "${Count} sanitizer report(s) were written while the tests ran.")
	endif()
	message(STATUS "No sanitizer report.")
else()
	message(FATAL_ERROR "ACTION must be Clear or Check.")
endif()
