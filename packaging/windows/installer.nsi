; SPDX-License-Identifier: MIT
; The Windows installer of the window and the command-line reporter, made by
; scripts/windows/build-programs.sh with Debian's makensis:
;   makensis -DVERSION=1.6.0 -DSTAGE=<folder with the files> -DLICENCE_PAGE=<text>
;            -DICON=<.ico> -DOUTFILE=<installer> installer.nsi
;
; For the current user by default, into %LOCALAPPDATA%\Programs, without asking for elevation;
; for all users, into Program Files, when started elevated ("Run as administrator") or with
; /AllUsers (which then needs elevation). /CurrentUser installs for the current user even when
; elevated. /S installs silently, /D=<folder> chooses the folder.
; The uninstaller removes exactly what was installed, for the same users.

Unicode true
; A 64-bit installer: 64-bit Windows only, as the programs are; it also runs where 32-bit
; programs cannot.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Nimbrel AP/Bridge/CloudAP Utility"
!define SHORT_NAME "Nimbrel Utility"
!define PUBLISHER "Nimbrel Networks"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\NimbrelUtility"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} installer"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "MIT licence; Qt under the LGPL-3.0"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\nimbrel-utility.exe"

!insertmacro MUI_PAGE_LICENSE "${LICENCE_PAGE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; "all" or "current": whose Start menu, registry and default folder are used.
Var Users

; Gives "Admin" when this process runs elevated: with UAC, an administrator's unelevated token
; counts as a plain user.
!macro IsElevated result
    UserInfo::GetAccountType
    Pop ${result}
!macroend

; Sets $Users from the command line (/AllUsers, /CurrentUser) or from the elevation.
!macro ChooseUsers un
Function ${un}ChooseUsers
    ${GetParameters} $0
    !insertmacro IsElevated $1
    StrCpy $Users current
    ${If} $1 == "Admin"
        StrCpy $Users all
    ${EndIf}
    ClearErrors
    ${GetOptions} $0 "/CurrentUser" $2
    ${IfNot} ${Errors}
        StrCpy $Users current
    ${EndIf}
    ClearErrors
    ${GetOptions} $0 "/AllUsers" $2
    ${IfNot} ${Errors}
        ${If} $1 != "Admin"
            MessageBox MB_ICONSTOP "Installing or removing for all users needs administrator rights." /SD IDOK
            SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
            Quit
        ${EndIf}
        StrCpy $Users all
    ${EndIf}
    ${If} $Users == all
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
FunctionEnd
!macroend
!insertmacro ChooseUsers ""
!insertmacro ChooseUsers "un."

Function .onInit
    SetRegView 64
    Call ChooseUsers
    ; /D= has already set the folder.
    ${If} $INSTDIR == ""
        ${If} $Users == all
            StrCpy $INSTDIR "$PROGRAMFILES64\${SHORT_NAME}"
        ${Else}
            StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${SHORT_NAME}"
        ${EndIf}
    ${EndIf}
FunctionEnd

; The uninstaller removes these same files one by one.
Section "Install"
    SetOutPath "$INSTDIR"
    File "${STAGE}\nimbrel-utility.exe"
    File "${STAGE}\nimbrel-discover.exe"
    File "${STAGE}\LICENSE.txt"
    File "${STAGE}\LGPL-3.0.txt"
    File "${STAGE}\GPL-3.0.txt"
    File "${STAGE}\RELINKING.txt"
    File "${STAGE}\Qt-COPYRIGHT.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\${SHORT_NAME}.lnk" "$INSTDIR\nimbrel-utility.exe"

    ; SHCTX is HKLM for all users and HKCU for the current one (SetShellVarContext).
    StrCpy $0 "/CurrentUser"
    ${If} $Users == all
        StrCpy $0 "/AllUsers"
    ${EndIf}
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\nimbrel-utility.exe"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" $0'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" $0 /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
    IntFmt $1 "0x%08X" $1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" "$1"
SectionEnd

Function un.onInit
    SetRegView 64
    Call un.ChooseUsers
FunctionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${SHORT_NAME}.lnk"
    Delete "$INSTDIR\nimbrel-utility.exe"
    Delete "$INSTDIR\nimbrel-discover.exe"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\LGPL-3.0.txt"
    Delete "$INSTDIR\GPL-3.0.txt"
    Delete "$INSTDIR\RELINKING.txt"
    Delete "$INSTDIR\Qt-COPYRIGHT.txt"
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: what the user put there stays.
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
