// Work in progress: dynamic (script) delegates, filled in with the object system.
#pragma once
