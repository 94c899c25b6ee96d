; Empty boot code: the boot entry returns at once, so the disk boots straight into Disk BASIC.
;
; The disk ROM reads logical sector 0 of the boot drive to 0C000h and calls the fixed boot
; entry 0C01Eh, byte 30 of the sector: once with the carry flag clear right after loading it,
; and once with the carry flag set when the DOS kernel is ready. Bytes 0-27 hold the jump
; code, the OEM name and the parameter block; this block is copied to byte 28 (0C01Ch), so
; its first two bytes are never executed and the entry is its third byte.
;
; Assemble with pasmo; tools/assemble-boot-code turns the result into boot_code_data.inc.

BLOCK_START     equ     0C01Ch          ; byte 28 of the boot sector loaded at 0C000h
BLOCK_SIZE      equ     3

                org     BLOCK_START

                defb    0, 0            ; bytes 28-29: not code, kept zero
entry:                                  ; 0C01Eh, called with carry clear and with carry set
                ret                     ; nothing to prepare, nothing to load

                if      entry - BLOCK_START != 2
                .error  "the boot entry must be byte 30 of the sector (0C01Eh)"
                endif
                if      $ - BLOCK_START != BLOCK_SIZE
                .error  "the empty boot code must be exactly 3 bytes"
                endif
