# Configuration Manager: the discovery script of a configuration item's
# setting (data type String). It always exits 0 and writes one value; the
# compliance rule compares it: "The value returned by the specified script
# Equals Compliant". Anything else it writes says what differs, so that the
# report shows it. Runs as SYSTEM, in 32-bit or 64-bit PowerShell alike.
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
if (-not $polvane -or -not (Test-Path $polvane)) { Write-Output 'Polvane is not installed'; exit 0 }

# The console program: PowerShell waits for it and sets $LASTEXITCODE.
$out = & $polvane /check @policies /allusers 2>&1
if ($LASTEXITCODE -eq 0) { Write-Output 'Compliant' }
else { Write-Output (($out | ForEach-Object { "$_" }) -join '; ') }
exit 0
