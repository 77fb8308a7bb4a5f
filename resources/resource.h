/* Resource ids shared by corvalex.rc and the C++ code. Plain preprocessor
   only: windres reads this file too.

   The program icon is the string-named resource MAINICON; never #define
   MAINICON, or the .rc would turn its name into a number. */
#ifndef CORVALE_RESOURCE_H
#define CORVALE_RESOURCE_H

/* Tool bar strips: TOOLBAR_IMAGE_COUNT images of TOOLBAR_IMAGE_SIZE square
   (and of TOOLBAR_LARGE_IMAGE_SIZE for 144 dpi), side by side, 24 bits per
   pixel; pixels of TOOLBAR_MASK_RGB are transparent. The value reads the
   same as a COLORREF and as 0xRRGGBB. */
#define IDB_TOOLBAR 101
#define IDB_TOOLBAR24 102
#define TOOLBAR_IMAGE_SIZE 16
#define TOOLBAR_LARGE_IMAGE_SIZE 24
#define TOOLBAR_IMAGE_COUNT 7
#define TOOLBAR_MASK_RGB 0x00FF00FF

/* Image index of each tool button within the strip. */
#define TBIMG_OPEN 0
#define TBIMG_EXPORT 1
#define TBIMG_COPY 2
#define TBIMG_WRAP 3
#define TBIMG_FIND 4
#define TBIMG_SETTINGS 5
#define TBIMG_ABOUT 6

/* The about dialog (frm_about.rc): the template and its controls, 400-499.
   The OK button is IDOK, so Enter and Esc reach it through the dialog manager. */
#define IDD_ABOUT 400
#define IDC_ABOUT_LABEL1 401
#define IDC_ABOUT_BEVEL2 402
#define IDC_ABOUT_LABEL4 403
#define IDC_ABOUT_BEVEL1 404
#define IDC_ABOUT_LABEL5 405
#define IDC_ABOUT_LABEL6 406
#define IDC_ABOUT_LABEL7 407
#define IDC_ABOUT_LABEL8 408
#define IDC_ABOUT_MEMOCHANGES 409
#define ABOUT_PRODUCT_LINE "Corvale 1.03"
#define ABOUT_CONTACT_ADDRESS "corvale@example.org"
/* The settings dialog and its controls: 300-399. */
#define IDD_SETTINGS 300
#define IDC_LABEL1 301
#define IDC_CBNFO 302
#define IDC_CBDIZ 303
#define IDC_CBION 304
#define IDC_CBBBS 305
#define IDC_CBTXT 306
#define IDC_BEVEL1 307
#define IDC_LABEL2 308
#define IDC_COMBOFONT 309
#define IDC_LABEL3 310
#define IDC_COMBOSIZE 311
#define IDC_BEVEL2 312
#define IDC_LABEL4 313
#define IDC_COMBOTEXT 314
#define IDC_LABEL5 315
#define IDC_COMBOBACK 316
#define IDC_BEVEL3 317

#endif
/* Save as Picture's options, a child of the save dialog (picture_options.rc): 500-599. */
#define IDD_PICTURE_OPTIONS 500
#define IDC_PICTURE_SCALE_LABEL 501
#define IDC_PICTURE_SCALE 502
#define IDC_PICTURE_TRANSPARENT 503
