// Work in progress: filled in by the Core work under way.
#pragma once
