@echo off
rem A computer start-up script (Group Policy: Computer Configuration >
rem Policies > Windows Settings > Scripts > Startup). It runs as SYSTEM and
rem sets every user's Messenger policies with the Polvane.com that the MSI
rem installed, wherever that is: the package remembers its folder in
rem HKLM\Software\Krestel\Polvane, InstallDir, in the 64-bit registry view for
rem the x64 package and the 32-bit one for the x86 package.
setlocal
set "log=%SystemRoot%\Temp\polvane-startup.log"
set "polvane="
call :find 64
if not defined polvane call :find 32
if not defined polvane (
  echo %date% %time% Polvane is not installed on this computer.>> "%log%"
  exit /b 2
)
rem The policies to set: edit this line.
"%polvane%" /set PreventRun=1 DisableFileTransfer=1 /allusers >> "%log%" 2>&1
if errorlevel 1 echo %date% %time% Polvane exited with %errorlevel%.>> "%log%"
exit /b

rem Sets polvane to Polvane.com in the folder the package remembers in
rem registry view %1, if it does.
:find
for /f "tokens=2,*" %%a in ('reg query "HKLM\Software\Krestel\Polvane" /v InstallDir /reg:%1 2^>nul ^| find "REG_SZ"') do set "polvane=%%bPolvane.com"
exit /b
