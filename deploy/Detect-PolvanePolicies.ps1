# Intune Remediations: the detection script. Exit 0 when every named policy
# is as asked (compliant), exit 1 when any is not, or Polvane is missing: the
# remediation script then runs. What it writes shows in the admin center as
# the detection output. Runs as SYSTEM, in 32-bit or 64-bit PowerShell alike.
$policies = 'PreventRun=1', 'DisableFileTransfer=1'   # the policies to check
[Console]::OutputEncoding = [Text.Encoding]::UTF8     # Polvane writes UTF-8 when captured

# The folder the MSI remembers, in the registry view of its architecture.
$polvane = $null
foreach ($view in 'Registry64', 'Registry32') {
    $key = [Microsoft.Win32.RegistryKey]::OpenBaseKey('LocalMachine', $view).OpenSubKey('Software\Krestel\Polvane')
    if ($key -and $key.GetValue('InstallDir')) {
        $polvane = Join-Path $key.GetValue('InstallDir') 'Polvane.com'
        break
    }
}
if (-not $polvane -or -not (Test-Path $polvane)) { Write-Output 'Polvane is not installed'; exit 1 }

# The console program: PowerShell waits for it and sets $LASTEXITCODE.
$out = & $polvane /check @policies /allusers 2>&1
if ($LASTEXITCODE -eq 0) { Write-Output 'Compliant'; exit 0 }
$out | ForEach-Object { "$_" }   # which values differ, one line each, or why they could not be read
exit 1
