@echo off
rem Registers the dictionaries in the "dictionaries" folder beside this file with the spelling
rem library beside it, for the current user (no administrator rights needed). Run it once after
rem unpacking the zip; run it again after moving the folder.
"%~dp0regspell.exe" /user "%~dp0PWSPELL.dll" "%~dp0dictionaries"
