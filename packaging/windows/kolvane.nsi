; SPDX-License-Identifier: MIT
; The Windows installer of Kolvane, made on Linux with makensis by
; scripts/release.sh, which defines:
;   VERSION          the project version, e.g. 1.43
;   VERSION_NUMBERS  the same in four numbers, e.g. 1.43.0.0
;   FILES            the folder holding kolvane.exe, kolvane-calc.exe,
;                    README.txt and LICENSE.txt
;   ICON             the program's icon (kolvane.ico of the Windows build)
;   OUTFILE          the installer to write
; A per-machine installation into Program Files, a Start-menu entry and an
; entry under Apps with an uninstaller; silent with /S. It also prepares the
; folder of the settings file that every user of the PC shares.

; A 64-bit installer for the 64-bit program: it runs wherever the program
; can, also under a Wine without its 32-bit part, and sees the real Program
; Files folder and registry without redirection. (A 32-bit Windows refuses
; to start it at all, with the system's own message.)
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
; No file times in the installer's data: two builds of the same files give
; the same bytes.
SetDateSave off
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Kolvane"
!define PUBLISHER "The Kolvane authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kolvane"
!define START_MENU_ENTRY "$SMPROGRAMS\Kolvane.lnk"
; The settings folder below the all-users data folder ($APPDATA once the
; shell folders are those of all users), as the program looks for it.
!define SETTINGS_FOLDER "$APPDATA\DVK\Common"
; "Users", by its well-known SID, which every language of Windows knows.
!define USERS_SID "*S-1-5-32-545"

; The installer must carry the program it says it carries: the version
; resource of kolvane.exe has to agree with the version of this release.
!getdllversion "${FILES}\kolvane.exe" exe_version_
!if "${exe_version_1}.${exe_version_2}.${exe_version_3}.${exe_version_4}" != "${VERSION_NUMBERS}"
  !error "kolvane.exe has the version ${exe_version_1}.${exe_version_2}.${exe_version_3}.${exe_version_4}, the release ${VERSION_NUMBERS}"
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION_NUMBERS}"
VIFileVersion "${VERSION_NUMBERS}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "MIT License"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${FILES}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The installer speaks the language of Windows where it is German, else
; English, like the program.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

Function .onInit
  SetRegView 64
  SetShellVarContext all
  ; An update goes where the last version is, unless /D= names a folder.
  ${If} $INSTDIR == "$PROGRAMFILES64\${PRODUCT}"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
      StrCpy $INSTDIR $0
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Kolvane"
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${FILES}\kolvane.exe"
  File "${FILES}\kolvane-calc.exe"
  File "${FILES}\README.txt"
  File "${FILES}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; One entry needs no folder of its own in the Start menu.
  CreateShortcut "${START_MENU_ENTRY}" "$INSTDIR\kolvane.exe" "" "$INSTDIR\kolvane.exe" 0

  ; Every user of the PC shares the one settings file. Left to itself, the
  ; program of the first user to start it would create the folder, and only
  ; that user could change the file; so the folder is made here, and every
  ; user may change what it holds (inherited by the settings file and by the
  ; temporary file a save writes beside it).
  CreateDirectory "${SETTINGS_FOLDER}"
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "${SETTINGS_FOLDER}" /grant ${USERS_SID}:(OI)(CI)M'
  Pop $0
  ${If} $0 != 0
    DetailPrint "icacls: $0"
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kolvane.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

; The settings folder and the settings file stay: they are the users' data,
; and a later installation takes them up again.
Section "Uninstall"
  Delete "$INSTDIR\kolvane.exe"
  Delete "$INSTDIR\kolvane-calc.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: a fallback settings file someone put beside the
  ; program stays, and so does its folder.
  RMDir "$INSTDIR"
  Delete "${START_MENU_ENTRY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
