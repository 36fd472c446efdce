/* The FreeType modules of the WebAssembly build: what the two fonts built
 * into the library need (both TrueType outlines without instructions),
 * rendered in grey with light hinting by the auto-hinter, as the raster
 * writers ask. */
FT_USE_MODULE( FT_Module_Class, autofit_module_class )
FT_USE_MODULE( FT_Driver_ClassRec, tt_driver_class )
FT_USE_MODULE( FT_Module_Class, sfnt_module_class )
FT_USE_MODULE( FT_Renderer_Class, ft_smooth_renderer_class )
